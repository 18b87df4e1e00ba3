#include "masterdata/PlzImport.h"

#include "base/TextFile.h"
#include "data/Connection.h"
#include "data/SchemaInfo.h"
#include "data/StoredValue.h"

#include <QList>

namespace kilvaro {

PlzImport::Line PlzImport::parseLine(const QString& line) {
    Line result;
    // Blanks alone (a stray last line) are as empty as an empty line.
    if (line.trimmed().isEmpty())
        return result;
    result.rightBank = line.at(0).toLower() == QLatin1Char('r');
    const QString digits = line.mid(2, 5).trimmed();
    bool numeric = !digits.isEmpty();
    for (const QChar c : digits)
        numeric = numeric && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (!numeric) {
        result.kind = LineKind::Invalid;
        return result;
    }
    result.kind = LineKind::Code;
    result.code = digits.toInt();
    return result;
}

QString PlzImport::Result::message() const {
    if (!stopped())
        return QString();
    const QString taken = imported == 1
                              ? QStringLiteral("1 Postleitzahl aus den Zeilen davor wurde")
                              : QStringLiteral("%1 Postleitzahlen aus den Zeilen davor wurden")
                                    .arg(imported);
    return QStringLiteral("Zeile %1 enthält keine gültige Postleitzahl: „%2“. Der Import wurde "
                          "dort abgebrochen; %3 übernommen.")
        .arg(QString::number(badLineNumber), badLineText, taken);
}

PlzImport::Result PlzImport::importFile(Connection& connection, const QString& path) {
    // Reading the whole file first means a read error stores nothing.
    const QStringList lines = TextFile::readLines(path);
    Result result;
    QList<Line> codes;
    for (int i = 0; i < lines.size(); ++i) {
        const Line line = parseLine(lines.at(i));
        if (line.kind == LineKind::Empty)
            continue;
        if (line.kind == LineKind::Invalid) {
            result.badLineNumber = i + 1;
            result.badLineText = lines.at(i);
            break;
        }
        codes << line;
    }
    if (codes.isEmpty())
        return result;
    Transaction tx(connection);
    for (const Line& line : codes)
        connection.exec(QStringLiteral("INSERT INTO \"plz\" (\"PLZ\", \"Rechtsrheinisch\") "
                                       "VALUES (?, ?)"),
                        {line.code, stored::toDb(line.rightBank, ColumnType::Boolean)});
    tx.commit();
    result.imported = int(codes.size());
    connection.notifyTableChanged(QStringLiteral("plz"));
    return result;
}

} // namespace kilvaro
