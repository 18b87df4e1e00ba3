#include "reports/PlzStatistik.h"

#include "base/Format.h"
#include "base/TextFile.h"
#include "data/Query.h"

#include <QDateTime>
#include <QDir>
#include <QMultiHash>
#include <cmath>

namespace kilvaro {

namespace {

/// A surcharge counts when it rounds to a whole amount above 0 (as the old program's Round).
bool counts(const QVariant& amount) {
    return !amount.isNull() && std::nearbyint(amount.toDouble()) > 0;
}

QString dateTimeText(const QVariant& v) {
    const QDateTime dt = v.toDateTime();
    if (v.isNull() || !dt.isValid())
        return QString();
    QString text = Format::date(dt.date(), QStringLiteral("dd.mm.yyyy"));
    if (dt.time().isValid() && dt.time() != QTime(0, 0))
        text += QLatin1Char(' ') + Format::time(dt.time(), QStringLiteral("hh:nn:ss"));
    return text;
}

} // namespace

PlzStatistik::PlzStatistik(Connection* database, QString exportFolder, QString mailingTarget,
                           DocumentOpener open)
    : m_database(database), m_folder(std::move(exportFolder)),
      m_mailingTarget(std::move(mailingTarget)), m_open(std::move(open)) {}

QString PlzStatistik::digitsOf(const QString& plz) {
    QString digits;
    for (const QChar c : plz)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    return digits;
}

PlzStatistik::Result PlzStatistik::count(int bestatterId, const QString& datumfilter) const {
    Result r;
    // Every row of the postal-code table, however many; a code listed twice counts twice.
    Query codes(m_database);
    codes.setSql(QStringLiteral("select plz,rechtsrheinisch from plz"));
    codes.open();
    QMultiHash<qint64, int> byCode;
    for (codes.first(); !codes.eof(); codes.next()) {
        Entry e;
        e.plz = codes.value(QStringLiteral("plz")).toInt();
        e.rechtsrheinisch = codes.value(QStringLiteral("rechtsrheinisch")).toBool();
        byCode.insert(e.plz, int(r.entries.size()));
        r.entries << e;
    }

    Query trips(m_database);
    trips.setLines({QStringLiteral("select datum,bestatter,plz,nacht,feiertag"),
                    QStringLiteral("from fahrten"),
                    QStringLiteral("where bestatter=") + QString::number(bestatterId),
                    QStringLiteral("and ") + datumfilter, QStringLiteral("order by datum")});
    trips.open();
    for (trips.first(); !trips.eof(); trips.next()) {
        const QString plzText = trips.value(QStringLiteral("plz")).toString();
        const QString digits = digitsOf(plzText);
        if (digits.isEmpty()) {
            ++r.ohnePlz;
            continue;
        }
        bool ok = false;
        const qint64 code = digits.toLongLong(&ok);
        QList<int> matches = ok ? byCode.values(code) : QList<int>();
        if (matches.isEmpty()) {
            ++r.ungueltig;
            r.errorLines << dateTimeText(trips.value(QStringLiteral("datum"))) +
                                QLatin1Char(' ') + plzText;
            continue;
        }
        const bool night = counts(trips.value(QStringLiteral("nacht")));
        const bool holiday = counts(trips.value(QStringLiteral("feiertag")));
        for (int index : matches) {
            Entry& e = r.entries[index];
            ++e.gesamt;
            if (night)
                ++e.nacht;
            if (holiday)
                ++e.feiertag;
            if (!night && !holiday)
                ++e.normal;
            ++(e.rechtsrheinisch ? r.rechtsrheinisch : r.linksrheinisch);
        }
    }

    r.statisticsLines << header();
    for (const Entry& e : r.entries)
        if (e.gesamt > 0)
            r.statisticsLines << QStringLiteral("%1;%2;%3;%4;%5")
                                     .arg(e.plz)
                                     .arg(e.normal)
                                     .arg(e.nacht)
                                     .arg(e.feiertag)
                                     .arg(e.gesamt);
    r.statisticsLines << QString() << QStringLiteral("Verteilung")
                      << QStringLiteral("Rechtsrheinisch;%1;Linksrheinisch;%2")
                             .arg(r.rechtsrheinisch)
                             .arg(r.linksrheinisch);
    if (r.ohnePlz > 0)
        r.statisticsLines << QStringLiteral("%1 Fahrten ohne Postleitzahl").arg(r.ohnePlz);
    if (r.ungueltig > 0)
        r.statisticsLines
            << QStringLiteral("%1 Fahrten mit ungültiger Postleitzahl").arg(r.ungueltig);
    return r;
}

PlzStatistik::Result PlzStatistik::run(int bestatterId, const QString& datumfilter) {
    ensureFolder(m_folder);
    Result r = count(bestatterId, datumfilter);
    TextFile::writeLines(QDir(m_folder).filePath(errorFileName()), r.errorLines);
    TextFile::writeLines(QDir(m_folder).filePath(statisticsFileName()), r.statisticsLines);
    if (m_open && !m_mailingTarget.isEmpty())
        m_open(m_mailingTarget);
    return r;
}

} // namespace kilvaro
