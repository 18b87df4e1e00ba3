#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QMdiSubWindow;

namespace kilvaro {

/// Tells a child window of the main frame when it becomes the active child and when it
/// stops being it (FormActivate / FormDeactivate). It follows the active state of the
/// frame's sub-window that holds the window: the frame deactivates the previous child before
/// it activates the next, so a shared navigator is handed over in order.
class ChildActivation : public QObject {
    Q_OBJECT
public:
    /// Belongs to `window`; the callbacks run on activation and deactivation.
    ChildActivation(QWidget* window, std::function<void()> onActivate,
                    std::function<void()> onDeactivate);

    bool isActive() const { return m_active; }
    /// Stops watching (the window is closing): no callback runs any more.
    void stop();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void attach();
    void onStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState);
    QWidget* m_window;
    QPointer<QMdiSubWindow> m_sub;
    std::function<void()> m_onActivate;
    std::function<void()> m_onDeactivate;
    bool m_active = false;
    bool m_stopped = false;
};

} // namespace kilvaro
