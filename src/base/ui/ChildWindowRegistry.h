#pragma once

#include <QPointer>
#include <QWidget>
#include <map>

class QMdiArea;
class QMdiSubWindow;

namespace kilvaro {

/// The kinds of child window of which at most one exists at a time.
enum class ChildKind {
    Fahrten,             ///< trip window
    Adressen,            ///< funeral directors and helpers
    Preisliste,          ///< price list
    Tarif,               ///< tariffs
    Ortsliste,           ///< place list
    Plz,                 ///< postal codes
    RechnungsUebersicht, ///< invoice overview
    Monatsrechnungen,    ///< monthly invoices
    JahresFahrten,       ///< trips per year and funeral director
};

/// Keeps one reference per single-instance child window kind. A menu command creates the
/// window only while its kind has no open window and then brings it to the front; the
/// reference empties itself when the window closes (or when the window calls release()),
/// so a later command creates a new one.
class ChildWindowRegistry {
public:
    explicit ChildWindowRegistry(QMdiArea* area);

    /// The open window of this kind, or nullptr.
    QWidget* find(ChildKind kind) const;

    /// Brings the open window of this kind to the front, or creates it with `make` (a
    /// callable returning a new W*) and adds it to the frame. `make` may throw; nothing is
    /// registered then.
    template <class W, class Factory> W* showSingle(ChildKind kind, Factory make) {
        if (auto* existing = dynamic_cast<W*>(find(kind))) {
            activate(existing);
            return existing;
        }
        W* window = make();
        m_windows[kind] = window;
        addChild(window);
        return window;
    }

    /// Adds a new child window to the frame (also for kinds that may exist several times),
    /// shows and activates it. The window is freed when it closes.
    QMdiSubWindow* addChild(QWidget* window);

    /// Clears the reference of this kind; windows may call it from their close handler.
    void release(ChildKind kind);

    /// Shows the sub-window holding `window` normal if minimised and makes it active.
    void activate(QWidget* window);

    /// The sub-window of the frame that holds `window`, or nullptr.
    QMdiSubWindow* subWindowOf(QWidget* window) const;

private:
    QMdiArea* m_area;
    std::map<ChildKind, QPointer<QWidget>> m_windows;
};

} // namespace kilvaro
