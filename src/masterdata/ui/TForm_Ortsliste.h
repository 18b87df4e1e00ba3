#pragma once

#include "data/ui/ChildWindow.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QLabel;
class QMdiSubWindow;
class QPushButton;
class QStatusBar;

namespace kilvaro {

class DbGrid;
class PlaceListOperations;

/// The place list: the master list of place names whose new entries go into every tariff
/// version at once. The status bar shows how many places there are.
class TForm_Ortsliste : public ChildWindow {
    Q_OBJECT
public:
    static constexpr int HelpContext = 3;

    TForm_Ortsliste(const AppContext& context, ChildHost* host, QWidget* parent = nullptr);
    ~TForm_Ortsliste() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showStatus(const QString& text);

    void FormActivate() override;
    void FormDeactivate() override;
    void FormClose();
    void neuClick();
    void loeschenClick();
    void HilfeClick();

    PlaceListOperations* m_ops;
    bool m_closed = false;

    DbGrid* Gitter;
    QPushButton* neu;
    QPushButton* loeschen;
    QPushButton* Hilfe;
    QStatusBar* Status;
    QLabel* m_panel0;
    QLabel* m_panel1;
};

} // namespace kilvaro
