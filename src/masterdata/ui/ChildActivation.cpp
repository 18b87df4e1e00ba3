#include "masterdata/ui/ChildActivation.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace kilvaro {

ChildActivation::ChildActivation(QWidget* window, std::function<void()> onActivate,
                                 std::function<void()> onDeactivate)
    : QObject(window), m_window(window), m_onActivate(std::move(onActivate)),
      m_onDeactivate(std::move(onDeactivate)) {
    window->installEventFilter(this);
}

bool ChildActivation::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && !m_area &&
        (event->type() == QEvent::Show || event->type() == QEvent::ParentChange))
        attach();
    return QObject::eventFilter(watched, event);
}

void ChildActivation::attach() {
    auto* sub = qobject_cast<QMdiSubWindow*>(m_window->parentWidget());
    QMdiArea* area = sub ? sub->mdiArea() : nullptr;
    if (!area)
        return;
    m_area = area;
    connect(area, &QMdiArea::subWindowActivated, this, &ChildActivation::onSubWindowActivated);
    if (area->activeSubWindow() == sub)
        onSubWindowActivated(sub);
}

void ChildActivation::onSubWindowActivated(QMdiSubWindow* sub) {
    const bool mine = sub && sub->widget() == m_window;
    if (mine == m_active)
        return;
    m_active = mine;
    if (mine && m_onActivate)
        m_onActivate();
    else if (!mine && m_onDeactivate)
        m_onDeactivate();
}

} // namespace kilvaro
