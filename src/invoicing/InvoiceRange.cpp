#include "invoicing/InvoiceRange.h"

#include "base/DbError.h"
#include "base/IniFile.h"
#include "base/SettingsKeys.h"
#include "data/Connection.h"

#include <QSqlQuery>

namespace kilvaro::InvoiceRange {

namespace {

IniFile settingsFile(const QString& programFolder) {
    return IniFile(programFolder + QString::fromLatin1(SettingsKeys::FileName));
}

} // namespace

Range lastUsed(const QString& programFolder) {
    const IniFile ini = settingsFile(programFolder);
    using namespace SettingsKeys;
    return {ini.readInteger(sectionName(RechnungDruckVon), keyName(RechnungDruckVon), 0),
            ini.readInteger(sectionName(RechnungDruckBis), keyName(RechnungDruckBis), 0)};
}

void remember(const QString& programFolder, const Range& range) {
    IniFile ini = settingsFile(programFolder);
    using namespace SettingsKeys;
    ini.writeInteger(sectionName(RechnungDruckVon), keyName(RechnungDruckVon), range.from);
    ini.writeInteger(sectionName(RechnungDruckBis), keyName(RechnungDruckBis), range.to);
    QString error;
    if (!ini.save(&error))
        throw DbError(error);
}

QList<int> existing(Connection& connection, const Range& range) {
    QList<int> numbers;
    if (range.to < range.from)
        return numbers;
    QSqlQuery q = connection.exec(
        QStringLiteral("SELECT RecNr FROM Rechnung WHERE RecNr >= ? AND RecNr <= ? ORDER BY RecNr"),
        {range.from, range.to});
    while (q.next())
        numbers << q.value(0).toInt();
    return numbers;
}

QList<int> missing(const Range& range, const QList<int>& existing) {
    QList<int> gaps;
    qsizetype next = 0;
    for (qint64 n = range.from; n <= range.to; ++n) {
        if (next < existing.size() && existing.at(next) == n) {
            ++next;
            continue;
        }
        gaps << int(n);
    }
    return gaps;
}

QString compact(const QList<int>& numbers) {
    QStringList parts;
    for (qsizetype i = 0; i < numbers.size();) {
        qsizetype j = i;
        while (j + 1 < numbers.size() && numbers.at(j + 1) == numbers.at(j) + 1)
            ++j;
        if (j - i >= 2) {
            parts << QStringLiteral("%1–%2").arg(numbers.at(i)).arg(numbers.at(j));
        } else {
            for (qsizetype k = i; k <= j; ++k)
                parts << QString::number(numbers.at(k));
        }
        i = j + 1;
    }
    return parts.join(QStringLiteral(", "));
}

QString outcome(int output, const QList<int>& missing, bool printed) {
    QString text = printed ? QStringLiteral("%1 Rechnungen gedruckt.").arg(output)
                           : QStringLiteral("%1 Rechnungen angezeigt.").arg(output);
    if (missing.size() == 1)
        text += QStringLiteral("\nDie Rechnung Nr. %1 gibt es nicht; sie wurde übersprungen.")
                    .arg(missing.first());
    else if (!missing.isEmpty())
        text += QStringLiteral("\nDie Rechnungen Nr. %1 gibt es nicht; sie wurden übersprungen.")
                    .arg(compact(missing));
    return text;
}

} // namespace kilvaro::InvoiceRange
