#pragma once

#include <QPushButton>
#include <functional>

class QDialog;

namespace kilvaro {

/// The four buttons every report dialog ends with: "&Vorschau" (result OK), "&Drucken"
/// (result Yes, the default button), "&Abbruch" (result Cancel) and "&Hilfe".
struct ReportOutputButtons {
    QPushButton* BTMonitor = nullptr;
    QPushButton* BTDrucker = nullptr;
    QPushButton* BTAbbruch = nullptr;
    QPushButton* BTHilfe = nullptr;

    /// Creates the buttons on `dialog`; they close it with the report results, help runs
    /// `help`.
    static ReportOutputButtons create(QDialog* dialog, const std::function<void()>& help);
};

} // namespace kilvaro
