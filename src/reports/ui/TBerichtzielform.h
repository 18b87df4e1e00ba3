#pragma once

#include "base/AppContext.h"
#include "reports/ReportChoice.h"

#include <QDialog>
#include <functional>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace kilvaro {

/// The report title dialog "Bericht erstellen" of the reports without a period: the title
/// and the output to screen or printer. Created anew for each launch; the launcher sets the
/// caption and the preset title.
class TBerichtzielform : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 10;

    explicit TBerichtzielform(const AppContext& context, QWidget* parent = nullptr);

    /// Sets caption and preset title, as every launcher does first.
    void preset(const QString& caption, const QString& title);
    /// Shows the dialog modally and says what the user chose.
    ReportChoice showModal();
    /// The title typed.
    QString title() const;

    /// Opens help; the program passes the main window's help, otherwise a viewer of its own.
    void setHelpHandler(std::function<void(int)> handler) { m_help = std::move(handler); }

    QGroupBox* Titelbox;
    QLineEdit* Titel;
    QPushButton* BTMonitor;
    QPushButton* BTDrucker;
    QPushButton* BTAbbruch;
    QPushButton* BTHilfe;

private:
    void BTHilfeClick();

    AppContext m_context;
    std::function<void(int)> m_help;
};

} // namespace kilvaro
