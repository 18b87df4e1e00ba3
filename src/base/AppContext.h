#pragma once

#include <QString>
#include <QStringList>

namespace kilvaro {

class DialogService;
class TDaten_A;
class TDaten_R;

/// What the windows of one program run share: passed to each window's constructor.
struct AppContext {
    QString programFolder;     ///< with a trailing '/'
    QStringList arguments;     ///< command-line arguments after the program name
    DialogService* dialogs = nullptr;
    TDaten_A* daten = nullptr; ///< the general data module
    TDaten_R* datenR = nullptr; ///< the invoice data module
};

} // namespace kilvaro
