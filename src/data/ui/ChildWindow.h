#pragma once

#include "base/AppContext.h"
#include "base/ui/ChildWindowRegistry.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QMdiArea;
class QMdiSubWindow;

namespace kilvaro {

class DataSource;
class DbNavigator;
class DialogService;

/// What a child window needs of the frame that holds it, and nothing more: the shared record
/// navigator, help by context, the single-instance registry and the guarded command runner.
/// The main window implements it; child windows never see the main window's class.
class ChildHost {
public:
    virtual ~ChildHost() = default;

    /// Binds the shared record navigator to a child window's data source and shows it.
    virtual void bindNavigator(DataSource* source) = 0;
    /// Unbinds the shared record navigator.
    virtual void releaseNavigator() = 0;
    /// The shared record navigator.
    virtual DbNavigator* navigator() const = 0;
    /// Opens the help viewer at a context number.
    virtual void showHelp(int context) = 0;
    /// Forgets the single window of this kind, so the next command creates a new one.
    virtual void releaseInstance(ChildKind kind) = 0;
    /// Runs a command of a window inside `scope` (see runGuardedCommand).
    virtual void runGuarded(QWidget* scope, const std::function<void()>& command) = 0;
};

/// Runs a command the way every window does: first the text still being typed in `scope`
/// (a bound edit field or an open grid cell) is taken into its row, as leaving the field
/// would, so a command triggered by its shortcut sees what the user typed; then the command.
/// A data error or any other exception is shown as an error message (an empty text is a
/// deliberate, silent stop, e.g. the user declined a question) and the window stays usable.
void runGuardedCommand(QWidget* scope, DialogService* dialogs,
                       const std::function<void()>& command);

/// Base of every working window inside the main frame.
///
/// Activation follows one rule: the window becomes active when the frame activates its
/// sub-window, and inactive when the frame activates another child window. A moment without
/// an active child (a modal dialog, another program in front) is no switch: the window stays
/// active and keeps the shared navigator. FormActivate and FormDeactivate run guarded.
/// Without a host (a window under test on its own) nothing is tracked and commands run
/// guarded by the window itself.
class ChildWindow : public QWidget {
    Q_OBJECT
public:
    ChildWindow(const AppContext& context, ChildHost* host, QWidget* parent = nullptr);
    ~ChildWindow() override;

    /// The frame holding the window, or nullptr when it stands alone.
    ChildHost* host() const;
    /// True between FormActivate and FormDeactivate.
    bool isActiveChild() const { return m_active; }
    /// Runs a command of this window guarded (see runGuardedCommand).
    void guarded(const std::function<void()>& command);

protected:
    /// The window became the frame's active child.
    virtual void FormActivate() {}
    /// Another child window became active.
    virtual void FormDeactivate() {}
    /// The window is closing: no activation is tracked any more. Returns whether it was
    /// the active child (its navigator binding is then still in place).
    bool stopActivation();
    /// Binds the shared navigator to `source` while the window has a host.
    void bindNavigator(DataSource* source);
    /// Unbinds the shared navigator when it is still bound to `source` (another child may
    /// have taken it over already); any binding when `source` is nullptr.
    void releaseNavigator(DataSource* source = nullptr);
    /// Shows help at a context number through the host.
    void showHelp(int context);
    /// The frame as an object (for event filters), or nullptr.
    QObject* hostObject() const { return m_hostAlive.data(); }

    bool event(QEvent* event) override;

    AppContext m_context;

private:
    void attach();
    void onSubWindowActivated(QMdiSubWindow* sub);
    void deactivate();

    ChildHost* m_host;
    QPointer<QObject> m_hostAlive;
    QPointer<QMdiArea> m_area;
    QPointer<QMdiSubWindow> m_sub;
    bool m_active = false;
    bool m_stopped = false;
};

} // namespace kilvaro
