#include "data/ui/ChildWindow.h"

#include "base/DbError.h"
#include "base/DialogService.h"
#include "data/ui/DbNavigator.h"
#include "data/ui/PendingInput.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace kilvaro {

void runGuardedCommand(QWidget* scope, DialogService* dialogs,
                       const std::function<void()>& command) {
    try {
        commitPendingInput(scope);
        command();
    } catch (const DbError& e) {
        if (!e.message().isEmpty() && dialogs)
            dialogs->error(e.message());
    } catch (const std::exception& e) {
        if (dialogs)
            dialogs->error(QString::fromUtf8(e.what()));
    }
}

ChildWindow::ChildWindow(const AppContext& context, ChildHost* host, QWidget* parent)
    : QWidget(parent), m_context(context), m_host(host),
      m_hostAlive(dynamic_cast<QObject*>(host)) {}

ChildWindow::~ChildWindow() = default;

ChildHost* ChildWindow::host() const {
    // The frame may be gone while its children are destroyed.
    return m_hostAlive ? m_host : nullptr;
}

void ChildWindow::guarded(const std::function<void()>& command) {
    if (ChildHost* h = host())
        h->runGuarded(this, command);
    else
        runGuardedCommand(this, m_context.dialogs, command);
}

bool ChildWindow::event(QEvent* event) {
    if (event->type() == QEvent::Show || event->type() == QEvent::ParentChange)
        attach();
    return QWidget::event(event);
}

void ChildWindow::attach() {
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (m_stopped || !host() || !sub || sub == m_sub)
        return;
    if (m_area)
        disconnect(m_area, nullptr, this, nullptr);
    m_sub = sub;
    m_area = sub->mdiArea();
    if (!m_area)
        return;
    connect(m_area, &QMdiArea::subWindowActivated, this, &ChildWindow::onSubWindowActivated);
    if (m_area->activeSubWindow() == sub)
        onSubWindowActivated(sub);
}

void ChildWindow::onSubWindowActivated(QMdiSubWindow* sub) {
    if (!sub || m_stopped)
        return;
    if (sub != m_sub) {
        deactivate();
        return;
    }
    if (m_active)
        return;
    // The child that was active lets go of the shared navigator before this one takes it,
    // whatever order the frame tells its children in.
    for (QMdiSubWindow* other : m_area->subWindowList())
        if (auto* child = qobject_cast<ChildWindow*>(other->widget()); child && child != this)
            child->deactivate();
    m_active = true;
    guarded([this] { FormActivate(); });
}

void ChildWindow::deactivate() {
    if (!m_active)
        return;
    m_active = false;
    guarded([this] { FormDeactivate(); });
}

bool ChildWindow::stopActivation() {
    const bool wasActive = m_active;
    if (m_area)
        disconnect(m_area, nullptr, this, nullptr);
    m_stopped = true;
    m_active = false;
    return wasActive;
}

void ChildWindow::bindNavigator(DataSource* source) {
    if (ChildHost* h = host())
        h->bindNavigator(source);
}

void ChildWindow::releaseNavigator(DataSource* source) {
    ChildHost* h = host();
    if (h && (!source || h->navigator()->dataSource() == source))
        h->releaseNavigator();
}

void ChildWindow::showHelp(int context) {
    if (ChildHost* h = host())
        h->showHelp(context);
}

} // namespace kilvaro
