#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace kilvaro {

class Query;

/// The address lists of the trip window's choosers: the active funeral directors and the
/// active helpers, by name. Read once when the window opens, into the window's own query
/// objects; addresses added or deactivated later show after it is reopened.
class AddressChoices {
public:
    struct Entry {
        QString name;
        QVariant id;
    };

    static QList<Entry> funeralDirectors(Query& query);
    static QList<Entry> helpers(Query& query);
};

} // namespace kilvaro
