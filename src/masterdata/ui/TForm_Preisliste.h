#pragma once

#include "data/ui/ChildWindow.h"

#include <QPointer>
#include <QWidget>

namespace kilvaro {

class DbGrid;

/// The price list window: the shared table Preistab in one grid, edited in place. New
/// entries, deletion and storing go through the main window's shared navigator, which is
/// bound to PreisQuelle while this window is active.
class TForm_Preisliste : public ChildWindow {
    Q_OBJECT
public:
    static constexpr int HelpContext = 7;

    TForm_Preisliste(const AppContext& context, ChildHost* host, QWidget* parent = nullptr);

protected:
    /// FormClose: stores a pending edit or insert; when that is refused the window stays
    /// open.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormActivate() override;
    void FormDeactivate() override;

    DbGrid* DBGrid1;
};

} // namespace kilvaro
