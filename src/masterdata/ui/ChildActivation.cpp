#include "masterdata/ui/ChildActivation.h"

#include <QEvent>
#include <QMdiSubWindow>

namespace kilvaro {

ChildActivation::ChildActivation(QWidget* window, std::function<void()> onActivate,
                                 std::function<void()> onDeactivate)
    : QObject(window), m_window(window), m_onActivate(std::move(onActivate)),
      m_onDeactivate(std::move(onDeactivate)) {
    window->installEventFilter(this);
}

bool ChildActivation::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window &&
        (event->type() == QEvent::Show || event->type() == QEvent::ParentChange))
        attach();
    return QObject::eventFilter(watched, event);
}

void ChildActivation::attach() {
    auto* sub = qobject_cast<QMdiSubWindow*>(m_window->parentWidget());
    if (m_stopped || sub == m_sub)
        return;
    if (m_sub)
        disconnect(m_sub, nullptr, this, nullptr);
    m_sub = sub;
    if (!sub)
        return;
    connect(sub, &QMdiSubWindow::windowStateChanged, this, &ChildActivation::onStateChanged);
    if (sub->windowState().testFlag(Qt::WindowActive))
        onStateChanged(Qt::WindowNoState, sub->windowState());
}

void ChildActivation::stop() {
    if (m_sub)
        disconnect(m_sub, nullptr, this, nullptr);
    m_window->removeEventFilter(this);
    m_stopped = true;
    m_active = false;
}

void ChildActivation::onStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState) {
    const bool was = oldState.testFlag(Qt::WindowActive);
    const bool now = newState.testFlag(Qt::WindowActive);
    if (now && !was && !m_active) {
        m_active = true;
        if (m_onActivate)
            m_onActivate();
    } else if (!now && was && m_active) {
        m_active = false;
        if (m_onDeactivate)
            m_onDeactivate();
    }
}

} // namespace kilvaro
