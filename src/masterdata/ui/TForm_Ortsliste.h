#pragma once

#include "base/AppContext.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QLabel;
class QMdiSubWindow;
class QPushButton;
class QStatusBar;

namespace kilvaro {

class ChildActivation;

class DbGrid;
class PlaceListOperations;
class TForm_Main;

/// The place list: the master list of place names whose new entries go into every tariff
/// version at once. The status bar shows how many places there are.
class TForm_Ortsliste : public QWidget {
    Q_OBJECT
public:
    static constexpr int HelpContext = 3;

    TForm_Ortsliste(const AppContext& context, TForm_Main* main, QWidget* parent = nullptr);
    ~TForm_Ortsliste() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void guarded(const std::function<void()>& command);
    void showStatus(const QString& text);

    void FormActivate();
    void FormDeactivate();
    void FormClose();
    void neuClick();
    void loeschenClick();
    void HilfeClick();

    AppContext m_context;
    QPointer<TForm_Main> m_main;
    PlaceListOperations* m_ops;
    ChildActivation* m_activation;
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
