#pragma once

#include "base/AppContext.h"

#include <QPointer>
#include <QWidget>

namespace kilvaro {

class ChildActivation;
class DbGrid;
class TForm_Main;

/// The price list window: the shared table Preistab in one grid, edited in place. New
/// entries, deletion and storing go through the main window's shared navigator, which is
/// bound to PreisQuelle while this window is active.
class TForm_Preisliste : public QWidget {
    Q_OBJECT
public:
    static constexpr int HelpContext = 7;

    TForm_Preisliste(const AppContext& context, TForm_Main* main);

protected:
    /// FormClose: stores a pending edit or insert; when that is refused the window stays
    /// open.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormActivate();
    void FormDeactivate();

    AppContext m_context;
    QPointer<TForm_Main> m_main;
    DbGrid* DBGrid1;
    ChildActivation* m_activation;
};

} // namespace kilvaro
