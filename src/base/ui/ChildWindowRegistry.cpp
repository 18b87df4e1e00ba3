#include "base/ui/ChildWindowRegistry.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace kilvaro {

ChildWindowRegistry::ChildWindowRegistry(QMdiArea* area) : m_area(area) {}

QWidget* ChildWindowRegistry::find(ChildKind kind) const {
    auto it = m_windows.find(kind);
    if (it == m_windows.end() || !it->second)
        return nullptr;
    // A closed window is freed only by the next turn of the event loop; it no longer counts
    // once it has left the frame's window list.
    if (!subWindowOf(it->second))
        return nullptr;
    return it->second;
}

QMdiSubWindow* ChildWindowRegistry::addChild(QWidget* window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow* sub = m_area->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    sub->show();
    m_area->setActiveSubWindow(sub);
    return sub;
}

void ChildWindowRegistry::release(ChildKind kind) {
    m_windows.erase(kind);
}

void ChildWindowRegistry::activate(QWidget* window) {
    QMdiSubWindow* sub = subWindowOf(window);
    if (!sub)
        return;
    if (sub->isMinimized())
        sub->showNormal();
    m_area->setActiveSubWindow(sub);
    sub->raise();
}

QMdiSubWindow* ChildWindowRegistry::subWindowOf(QWidget* window) const {
    if (!window)
        return nullptr;
    for (QMdiSubWindow* sub : m_area->subWindowList())
        if (sub->widget() == window)
            return sub;
    return nullptr;
}

} // namespace kilvaro
