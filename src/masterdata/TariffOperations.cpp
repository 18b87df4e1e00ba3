#include "masterdata/TariffOperations.h"

#include "base/GermanInput.h"
#include "base/TextFile.h"
#include "data/Daten_A.h"
#include "base/DbError.h"
#include "data/StoredValue.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <cmath>

namespace kilvaro {

namespace {

QString integerError(const QString& text) {
    return QStringLiteral("'%1' ist keine gültige ganze Zahl.").arg(text);
}

int parseInteger(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw DbError(integerError(text));
    return value;
}

/// Runs `work` in one transaction: all of it is stored, or nothing.
template <class Work> void inTransaction(Connection& connection, Work work) {
    Transaction transaction(connection);
    work();
    transaction.commit();
}

} // namespace

TariffOperations::TariffOperations(TDaten_A& daten) : m_daten(daten) {}

// --- input conversions ---------------------------------------------------------------------

int TariffOperations::parseTariffNumber(const QString& text) {
    return parseInteger(text);
}

double TariffOperations::parseRaise(const QString& text) {
    const GermanInput::Amount a = GermanInput::amount(text);
    if (!a.ok || a.empty)
        throw DbError(GermanInput::amountError(text));
    return a.value;
}

QDate TariffOperations::parseDate(const QString& text, const QDate& today) {
    const QDate date = GermanInput::date(text, today);
    if (!date.isValid())
        throw DbError(GermanInput::dateError(text));
    return date;
}

// --- the selected version ------------------------------------------------------------------

int TariffOperations::selectedVersionId() const {
    Table* t = m_daten.Orthaupttab;
    if (!t->isOpen() || t->isEmpty() || t->field(QStringLiteral("ID")).isNull())
        throw DbError(QStringLiteral("Es ist kein Tarif ausgewählt."));
    return t->field(QStringLiteral("ID")).asInteger();
}

int TariffOperations::selectedGroupNumber() const {
    Table* t = m_daten.Orthaupttab;
    if (!t->isOpen() || t->isEmpty())
        return 0;
    return t->field(QStringLiteral("Nr")).asInteger();
}

QList<int> TariffOperations::groupNumbers() const {
    QList<int> numbers;
    QSqlQuery q = m_daten.Database->exec(QStringLiteral(
        "SELECT DISTINCT Nr FROM OTMAIN WHERE Nr IS NOT NULL AND Nr <> 0 ORDER BY Nr"));
    while (q.next())
        numbers.append(q.value(0).toInt());
    return numbers;
}

// --- commands ------------------------------------------------------------------------------

int TariffOperations::freeVersionId() const {
    // All IDs in use, ascending; the first gap is the new ID.
    QSqlQuery q = m_daten.Database->exec(
        QStringLiteral("SELECT ID FROM OTMAIN WHERE ID > 0 UNION SELECT Id FROM Tarif WHERE Id > 0 "
                       "UNION SELECT Id FROM OrtsTarif WHERE Id > 0 ORDER BY 1"));
    int candidate = 1;
    while (q.next()) {
        const int used = q.value(0).toInt();
        if (used > candidate)
            break;
        if (used == candidate)
            ++candidate;
    }
    return candidate;
}

int TariffOperations::newTariffGroup(int nr) {
    storePendingEdits();
    Connection& c = *m_daten.Database;
    int id = 0;
    try {
        inTransaction(c, [&] {
            id = freeVersionId();
            c.exec(QStringLiteral(
                       "INSERT INTO OTMAIN (Nr, Anfang, Ende, ID) VALUES (?, NULL, NULL, ?)"),
                   {nr, id});
            c.exec(QStringLiteral(
                       "INSERT INTO Tarif (Id, Mehrwertsteuer, Waehrung) VALUES (?, 16, 'EUR')"),
                   {id});
            c.exec(QStringLiteral("INSERT INTO OrtsTarif (Id, Ort, Betrag) "
                                  "SELECT ?, Ort, NULL FROM Ortsliste ORDER BY rowid"),
                   {id});
        });
    } catch (...) {
        rereadAfterFailure(0);
        throw;
    }
    reread(id);
    m_daten.Ortetab->first();
    m_daten.Ortslistetab->first();
    return id;
}

int TariffOperations::copyVersion(int sourceId, const QDate& start) {
    if (!start.isValid())
        throw DbError(QStringLiteral("Das Anfangsdatum des neuen Tarifs ist ungültig."));
    storePendingEdits();
    Connection& c = *m_daten.Database;
    int id = 0;
    try {
        inTransaction(c, [&] {
            QSqlQuery source =
                c.exec(QStringLiteral("SELECT Nr FROM OTMAIN WHERE ID = ?"), {sourceId});
            if (!source.next())
                throw DbError(
                    QStringLiteral("Der Tarif mit der ID %1 existiert nicht.").arg(sourceId));
            const QVariant nr = source.value(0);
            source.finish();

            c.exec(QStringLiteral("UPDATE OTMAIN SET Ende = ? WHERE ID = ?"),
                   {stored::dateText(start.addDays(-1)), sourceId});
            id = freeVersionId();
            c.exec(QStringLiteral("INSERT INTO OTMAIN (Nr, Anfang, Ende, ID) VALUES (?, ?, ?, ?)"),
                   {nr, stored::dateText(start), stored::dateText(openEnd()), id});

            // The surcharges: a zero VAT, dressing, night or holiday amount starts out empty
            // in the new version; the other amounts and the currency are carried over.
            QSqlQuery tarif = c.exec(
                QStringLiteral("SELECT Mehrwertsteuer, Ankleiden, Nacht, Feiertag, Kuehlung, "
                               "UHuelle, Covid19, Waehrung FROM Tarif WHERE Id = ? ORDER BY rowid "
                               "LIMIT 1"),
                {sourceId});
            QVariantList values{id};
            if (tarif.next()) {
                for (int i = 0; i < 8; ++i) {
                    QVariant v = tarif.value(i);
                    if (i < 4 && !v.isNull() && v.toDouble() == 0.0)
                        v = QVariant();
                    values << v;
                }
            } else {
                for (int i = 0; i < 8; ++i)
                    values << QVariant();
            }
            tarif.finish();
            c.exec(QStringLiteral("INSERT INTO Tarif (Id, Mehrwertsteuer, Ankleiden, Nacht, "
                                  "Feiertag, Kuehlung, UHuelle, Covid19, Waehrung) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   values);
            c.exec(
                QStringLiteral("INSERT INTO OrtsTarif (Id, Ort, Betrag) "
                               "SELECT ?, Ort, Betrag FROM OrtsTarif WHERE Id = ? ORDER BY rowid"),
                {id, sourceId});
        });
    } catch (...) {
        rereadAfterFailure(0);
        throw;
    }
    reread(id);
    return id;
}

void TariffOperations::deleteVersion(int id) {
    storePendingEdits();
    Connection& c = *m_daten.Database;
    try {
        inTransaction(c, [&] {
            c.exec(QStringLiteral("DELETE FROM OrtsTarif WHERE Id = ?"), {id});
            c.exec(QStringLiteral("DELETE FROM Tarif WHERE Id = ?"), {id});
            c.exec(QStringLiteral("DELETE FROM OTMAIN WHERE ID = ?"), {id});
        });
    } catch (...) {
        rereadAfterFailure(0);
        throw;
    }
    reread(0);
}

void TariffOperations::raiseAmounts(int id, double amount) {
    storePendingEdits();
    Connection& c = *m_daten.Database;
    const int row = m_daten.Ortetab->isOpen() ? m_daten.Ortetab->recNo() : -1;
    try {
        inTransaction(c, [&] {
            c.exec(QStringLiteral(
                       "UPDATE OrtsTarif SET Betrag = COALESCE(Betrag, 0) + ? WHERE Id = ?"),
                   {amount, id});
        });
    } catch (...) {
        rereadAfterFailure(id);
        throw;
    }
    reread(id);
    if (row >= 0 && m_daten.Ortetab->isOpen() && !m_daten.Ortetab->isEmpty())
        m_daten.Ortetab->setRecNo(row);
}

QByteArray TariffOperations::exportBytes(int id) const {
    QStringList lines{QStringLiteral("Ort;Betrag")};
    QSqlQuery q = m_daten.Database->exec(
        QStringLiteral("SELECT Ort, Betrag FROM OrtsTarif WHERE Id = ? ORDER BY rowid"), {id});
    while (q.next()) {
        const QVariant betrag = q.value(1);
        lines << q.value(0).toString() + QLatin1Char(';') +
                     scientific(betrag.isNull() ? 0.0 : betrag.toDouble());
    }
    return TextFile::encode(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void TariffOperations::exportAmounts(int id, const QString& path) const {
    if (path.isEmpty())
        throw DbError(QStringLiteral("Es wurde keine Datei angegeben."));
    m_daten.Ortetab->checkBrowseMode();
    TextFile::write(path, TextFile::decode(exportBytes(id)));
}

// --- helpers -------------------------------------------------------------------------------

QString TariffOperations::scientific(double value) {
    if (!std::isfinite(value) || value == 0.0)
        return QStringLiteral(" 0.00000000000000E+0000");
    // "1.50000000000000e+02": 15 significant digits, then a four-digit exponent.
    const QString text = QString::number(std::fabs(value), 'e', 14);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    const QString mantissa = text.left(e);
    const int exponent = text.mid(e + 1).toInt();
    return QStringLiteral("%1%2E%3%4")
        .arg(value < 0 ? QStringLiteral("-") : QStringLiteral(" "), mantissa,
             exponent < 0 ? QStringLiteral("-") : QStringLiteral("+"))
        .arg(std::abs(exponent), 4, 10, QLatin1Char('0'));
}

TariffOperations::Validity TariffOperations::validity(const QDate& today, const QDate& anfang,
                                                      const QDate& ende) {
    Validity v = Validity::Valid;
    if (anfang.isValid() && today < anfang)
        v = Validity::NotYetValid;
    // The end test comes last and wins; a version without an end has ended long ago.
    if (!ende.isValid() || today > ende)
        v = Validity::NoLongerValid;
    return v;
}

QString TariffOperations::validityText(Validity v) {
    switch (v) {
    case Validity::Valid:
        return QStringLiteral("Tarif ist gültig");
    case Validity::NotYetValid:
        return QStringLiteral("Tarif noch nicht gültig");
    case Validity::NoLongerValid:
        break;
    }
    return QStringLiteral("Tarif nicht mehr gültig");
}

QColor TariffOperations::validityColor(Validity v) {
    switch (v) {
    case Validity::Valid:
        return QColor(0, 128, 0);
    case Validity::NotYetValid:
        return QColor(128, 128, 128);
    case Validity::NoLongerValid:
        break;
    }
    return QColor(255, 0, 0);
}

// --- private -------------------------------------------------------------------------------

void TariffOperations::rereadAfterFailure(int id) {
    // The command's own error is the one to report; the table objects only need to drop
    // rows that the rollback took away.
    try {
        reread(id);
    } catch (const DbError&) {
    }
}

void TariffOperations::storePendingEdits() {
    for (Table* t : {m_daten.Orthaupttab, m_daten.Tariftab, m_daten.Ortetab})
        if (t->isOpen())
            t->checkBrowseMode();
}

void TariffOperations::reread(int id) {
    Connection& c = *m_daten.Database;
    for (const char* name : {"OTMAIN", "Tarif", "OrtsTarif"})
        c.notifyTableChanged(QString::fromLatin1(name));
    Table* main = m_daten.Orthaupttab;
    if (!main->isOpen())
        return;
    main->refresh();
    if (id > 0)
        main->locate(QStringLiteral("ID"), id);
    for (Table* detail : {m_daten.Tariftab, m_daten.Ortetab})
        if (detail->isOpen())
            detail->refresh();
    if (m_daten.idsuche->isOpen())
        m_daten.idsuche->refresh();
}

} // namespace kilvaro
