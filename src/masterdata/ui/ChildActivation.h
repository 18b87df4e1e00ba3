#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QMdiArea;
class QMdiSubWindow;

namespace kilvaro {

/// Tells a child window of the main frame when it becomes the active child and when it
/// stops being it (FormActivate / FormDeactivate), from the frame's own notion of the
/// active sub-window. Starts watching when the window is first shown inside the frame.
class ChildActivation : public QObject {
    Q_OBJECT
public:
    /// Belongs to `window`; the callbacks run on activation and deactivation.
    ChildActivation(QWidget* window, std::function<void()> onActivate,
                    std::function<void()> onDeactivate);

    bool isActive() const { return m_active; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void attach();
    void onSubWindowActivated(QMdiSubWindow* sub);
    QWidget* m_window;
    QPointer<QMdiArea> m_area;
    std::function<void()> m_onActivate;
    std::function<void()> m_onDeactivate;
    bool m_active = false;
};

} // namespace kilvaro
