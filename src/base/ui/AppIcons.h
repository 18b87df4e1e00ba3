#pragma once

#include <QIcon>

namespace kilvaro {

/// The pictures of the main window's tool bar and menus, drawn at run time so that they
/// stay sharp at every size and need no image files.
class AppIcons {
public:
    enum class Kind {
        Fahrten,          ///< a hearse-like estate car
        Bestatter,        ///< a person with a tie
        Hilfskraefte,     ///< two persons
        Tarife,           ///< a price tag with a euro sign
        Preisliste,       ///< a list with a euro sign
        Rechnungen,       ///< a sheet with lines and a total
        Monatsrechnungen, ///< a calendar sheet
        Drucken,          ///< a printer
        Hilfe,            ///< a question mark in a circle
    };

    static QIcon icon(Kind kind);
};

} // namespace kilvaro
