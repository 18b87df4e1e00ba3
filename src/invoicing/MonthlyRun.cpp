#include "invoicing/MonthlyRun.h"

#include "base/DbError.h"
#include "base/Format.h"
#include "base/Utils.h"
#include "data/Connection.h"
#include "data/StoredValue.h"
#include "data/Table.h"
#include "invoicing/Daten_R.h"

#include <QSqlQuery>

namespace kilvaro {

namespace {

const QString kMonthTable = QStringLiteral("Monatsrechnung");

/// Holds back the signals of the tables the run writes through, so bound grids repaint once
/// at the end instead of after every row.
class QuietTables {
public:
    explicit QuietTables(std::initializer_list<Table*> tables) : m_tables(tables) {
        for (Table* t : m_tables)
            t->disableControls();
    }
    ~QuietTables() {
        for (Table* t : m_tables)
            t->enableControls();
    }
    QuietTables(const QuietTables&) = delete;
    QuietTables& operator=(const QuietTables&) = delete;

private:
    QList<Table*> m_tables;
};

/// Narrows the shared invoice table to the invoices from `firstNew` on while the run adds
/// its invoices (every store re-reads the table's set, which would otherwise be every
/// invoice ever made), and gives the table its own filter back afterwards, on the invoice
/// `current` when it is in the set again.
class NewInvoicesOnly {
public:
    NewInvoicesOnly(Table& rec, int firstNew)
        : current(rec.isEmpty() ? 0 : rec.field(QStringLiteral("RecNr")).asInteger()), m_rec(rec),
          m_filter(rec.filter()), m_filtered(rec.filtered()) {
        m_rec.setFilter(QStringLiteral("RecNr >= %1").arg(firstNew));
        m_rec.setFiltered(true);
    }
    ~NewInvoicesOnly() {
        try {
            m_rec.cancel();
            m_rec.setFilter(m_filter);
            m_rec.setFiltered(m_filtered);
            if (current > 0)
                m_rec.locate(QStringLiteral("RecNr"), current);
        } catch (const DbError&) {
            // The table shows what it can; the run's own outcome is what is reported.
        }
    }
    NewInvoicesOnly(const NewInvoicesOnly&) = delete;
    NewInvoicesOnly& operator=(const NewInvoicesOnly&) = delete;

    int current; ///< the invoice to show afterwards: the last one made, else the one shown

private:
    Table& m_rec;
    QString m_filter;
    bool m_filtered;
};

/// The stored-date bounds of a month: first day (inclusive) and the next month's first day
/// (exclusive), so stored times of day cannot push a trip out of its month.
QVariantList monthBounds(int month, int year) {
    const QDate first(year, month, 1);
    return {stored::dateText(first), stored::dateText(first.addMonths(1))};
}

} // namespace

MonthlyRun::MonthlyRun(TDaten_R& daten, QObject* parent) : QObject(parent), m_daten(daten) {
    MRectab = new Table(daten.connection(), kMonthTable, this);
    MRectab->setObjectName(QStringLiteral("MRectab"));
    MRectab->setOrder(QStringLiteral("[Jahr] ASC, [Monat] ASC"));
}

MonthlyRun::~MonthlyRun() = default;

void MonthlyRun::open() {
    if (MRectab->isOpen())
        MRectab->refresh();
    else
        MRectab->open();
}

void MonthlyRun::say(const QString& text) {
    if (status)
        status(text);
}

void MonthlyRun::monthRowChanged() {
    m_daten.connection()->notifyTableChanged(kMonthTable);
    if (MRectab->isOpen())
        MRectab->refresh();
}

// --- rules --------------------------------------------------------------------------------

QString MonthlyRun::periodText(int month, int year) {
    return Format::monthName(month) + QLatin1Char(' ') + QString::number(year);
}

int MonthlyRun::vatRate(const QDate& date) {
    return date >= QDate(2020, 7, 1) && date <= QDate(2020, 12, 31) ? 16 : 19;
}

void MonthlyRun::checkMonth(int month, int year) {
    if (month < 1 || month > 12)
        throw DbError(QStringLiteral("Einen Monat %1 gibt es nicht; bitte einen Monat von 1 "
                                     "bis 12 wählen.")
                          .arg(month));
    if (year < FirstYear || year > LastYear)
        throw DbError(QStringLiteral("Monatsrechnungen gibt es für die Jahre %1 bis %2, nicht "
                                     "für %3.")
                          .arg(FirstYear)
                          .arg(LastYear)
                          .arg(year));
}

std::optional<MonthlyRun::Row> MonthlyRun::monthRow(int month, int year) const {
    QSqlQuery q = m_daten.connection()->exec(
        QStringLiteral("SELECT \"Rechnung_von\", \"Rechnung_bis\", \"Umsatz\", \"ISO\" FROM "
                       "\"Monatsrechnung\" WHERE \"Jahr\" = ? AND \"Monat\" = ?"),
        {year, month});
    if (!q.next())
        return std::nullopt;
    Row row;
    row.month = month;
    row.year = year;
    row.first = q.value(0).toInt();
    row.last = q.value(1).toInt();
    row.revenue = Money::fromDouble(q.value(2).toDouble());
    row.iso = q.value(3).toString();
    return row;
}

bool MonthlyRun::MonatVorhanden(int month, int year) const {
    return monthRow(month, year).has_value();
}

// --- the run ------------------------------------------------------------------------------

MonthlyRun::Result MonthlyRun::MonatslaufAusfuehren(int month, int year, bool lateAddition) {
    checkMonth(month, year);
    Result result;
    const QString period = periodText(month, year);
    if (!lateAddition && MonatVorhanden(month, year)) {
        result.outcome = Outcome::AlreadyMade;
        result.message = QStringLiteral("Die Monatsrechnungen für den Monat ") + period +
                         QStringLiteral(" sind schon erstellt worden!");
        return result;
    }

    Connection& db = *m_daten.connection();
    const QVariantList bounds = monthBounds(month, year);
    // Open: no invoice mark, or one below 1 (the mark of a freed trip is empty).
    static const QString openTrips =
        QStringLiteral("(\"Rechnung\" IS NULL OR \"Rechnung\" < 1) AND \"Datum\" >= ? AND "
                       "\"Datum\" < ?");

    // The funeral directors with open trips, in the order their invoices are numbered.
    struct Director {
        int id;
        bool bigR;
    };
    QList<Director> directors;
    {
        QSqlQuery q = db.exec(
            QStringLiteral("SELECT a.\"ID\", a.\"BigR\" FROM \"ADRESSEN\" a WHERE a.\"Typ\" = 1 "
                           "AND EXISTS (SELECT 1 FROM \"Fahrten\" WHERE \"Bestatter\" = a.\"ID\" "
                           "AND ") +
                openTrips + QStringLiteral(") ORDER BY a.\"Name\", a.\"ID\""),
            bounds);
        while (q.next())
            directors.append({q.value(0).toInt(), q.value(1).toBool()});
    }
    if (directors.isEmpty()) {
        result.outcome = Outcome::NoOpenTrips;
        result.message = QStringLiteral("Für ") + period +
                         QStringLiteral(" gibt es keine offenen Überführungen.");
        result.statusText = result.message;
        return result;
    }

    const QDate invoiceDate = LastDayOfMonth(month, year);
    const QString cover =
        QStringLiteral("Überführungen im ") + period + QStringLiteral(" gefahren.");
    Table& rec = *m_daten.Rectab;
    Table& trips = *m_daten.Fahrttab;
    rec.checkBrowseMode();
    // The last number goes into the settings file once, when the run has succeeded.
    m_daten.holdNumberFile();
    try {
        QuietTables quiet{&rec, &trips, m_daten.Recposten, m_daten.Adresstab};
        int highest = 0;
        {
            QSqlQuery q = db.exec(QStringLiteral("SELECT max(\"RecNr\") FROM \"Rechnung\""));
            if (q.next())
                highest = q.value(0).toInt();
        }
        NewInvoicesOnly narrowed(rec, highest + 1);
        m_daten.atomically(
            [&] {
                for (const Director& director : directors) {
                    rec.append(); // number and defaults
                    const int recNr = rec.field(QStringLiteral("RecNr")).asInteger();
                    rec.setValue(QStringLiteral("Datum"), QDateTime(invoiceDate, QTime(0, 0)));
                    rec.setValue(QStringLiteral("MWSt"), vatRate(invoiceDate));
                    rec.setValue(QStringLiteral("Kunde"), director.id);
                    rec.setValue(QStringLiteral("Textvor"), cover);
                    rec.setValue(QStringLiteral("Euro"), true);
                    rec.setValue(QStringLiteral("Single"), false);
                    rec.setValue(QStringLiteral("Gebucht"), false);
                    rec.setValue(QStringLiteral("Storniert"), false);
                    rec.setValue(QStringLiteral("BigR"), director.bigR);
                    rec.post();
                    say(QStringLiteral("Die Rechnung %1 wird erstellt...").arg(recNr));

                    QVariantList binds{recNr, director.id};
                    binds << bounds;
                    db.exec(QStringLiteral("UPDATE \"Fahrten\" SET \"Rechnung\" = ? WHERE "
                                           "\"Bestatter\" = ? AND ") +
                                openTrips,
                            binds);
                    // Positions from the trips the invoice now shows (read anew there).
                    m_daten.PostenErstellen();
                    Money net;
                    for (int row = 0; row < trips.recordCount(); ++row) {
                        const QVariant gesamt = trips.valueAt(row, QStringLiteral("Gesamt"));
                        if (!gesamt.isNull())
                            net += Money::fromDouble(gesamt.toDouble());
                    }
                    rec.edit();
                    rec.setValue(QStringLiteral("Netto"), net.toDouble());
                    rec.post();
                    result.numbers << recNr;
                    result.revenue += net;
                    narrowed.current = recNr;
                }
                if (!lateAddition) {
                    db.exec(QStringLiteral("INSERT INTO \"Monatsrechnung\" (\"Monat\", \"Jahr\", "
                                           "\"Rechnung_von\", \"Rechnung_bis\", \"Umsatz\", "
                                           "\"ISO\") VALUES (?, ?, ?, ?, ?, 'EUR')"),
                            {month, year, result.numbers.first(), result.numbers.last(),
                             result.revenue.toDouble()});
                    result.rowWritten = true;
                }
            },
            {&rec, &trips, m_daten.Recposten});
    } catch (...) {
        m_daten.releaseNumberFile(false);
        m_daten.refreshGeneralTrips();
        throw;
    }
    QString numberFileError;
    try {
        m_daten.releaseNumberFile(true);
    } catch (const DbError& e) {
        // The invoices are stored; only the remembered number could not be written.
        numberFileError = e.message();
    }
    db.notifyTableChanged(QStringLiteral("Fahrten"));
    if (result.rowWritten)
        monthRowChanged();
    m_daten.refreshGeneralTrips();

    result.outcome = Outcome::Made;
    QStringList notes;
    if (lateAddition)
        notes << QStringLiteral("Die Monats-Statistik muss manuell angepasst werden!");
    if (!numberFileError.isEmpty())
        notes << numberFileError;
    result.message = notes.join(QLatin1Char('\n'));
    result.statusText = QStringLiteral("Die Monatsrechnungen für %1 sind erstellt...")
                            .arg(Format::monthName(month));
    say(result.statusText);
    return result;
}

// --- deleting, booking, recomputing --------------------------------------------------------

MonthlyRun::DeleteResult MonthlyRun::deleteMonth(int month, int year) {
    DeleteResult result;
    const std::optional<Row> row = monthRow(month, year);
    if (!row)
        return result;
    Connection& db = *m_daten.connection();
    QStringList texts;
    m_daten.atomically(
        [&] {
            for (int n = row->first; n <= row->last; ++n) {
                if (m_daten.RechnungLoeschen(n, false)) {
                    result.deleted << n;
                    texts << QStringLiteral("Die Rechnung %1 ist gelöscht worden").arg(n);
                } else if (m_daten.isBooked(n)) {
                    result.kept << n;
                    texts << QStringLiteral("Die Rechnung %1 ist gebucht und bleibt erhalten.")
                                 .arg(n);
                }
            }
            // The row names the month's invoices: it stays while one of them is left.
            QSqlQuery left = db.exec(QStringLiteral("SELECT 1 FROM \"Rechnung\" WHERE \"RecNr\" "
                                                    ">= ? AND \"RecNr\" <= ? LIMIT 1"),
                                     {row->first, row->last});
            if (!left.next()) {
                db.exec(QStringLiteral("DELETE FROM \"Monatsrechnung\" WHERE \"Jahr\" = ? AND "
                                       "\"Monat\" = ?"),
                        {year, month});
                result.rowDeleted = true;
            }
        },
        {m_daten.Rectab, m_daten.Recposten, m_daten.Fahrttab});
    // Said only now: until the commit nothing was deleted for good.
    for (const QString& text : std::as_const(texts))
        say(text);
    monthRowChanged();
    const QString name = Format::monthName(month);
    if (result.rowDeleted)
        result.statusText =
            QStringLiteral("Die Monatsrechnungen für %1 sind gelöscht worden..").arg(name);
    else
        result.statusText = QStringLiteral("Die Monatsrechnungen für %1 sind gelöscht worden; "
                                           "gebuchte Rechnungen bleiben erhalten.")
                                .arg(name);
    say(result.statusText);
    return result;
}

int MonthlyRun::bookMonth(int month, int year) {
    const std::optional<Row> row = monthRow(month, year);
    if (!row)
        return 0;
    int booked = 0;
    m_daten.atomically(
        [&] {
            QSqlQuery q = m_daten.connection()->exec(
                QStringLiteral("SELECT \"RecNr\" FROM \"Rechnung\" WHERE \"RecNr\" >= ? AND "
                               "\"RecNr\" <= ? AND NOT \"Gebucht\" ORDER BY \"RecNr\""),
                {row->first, row->last});
            QList<int> numbers;
            while (q.next())
                numbers << q.value(0).toInt();
            for (int n : std::as_const(numbers)) {
                m_daten.RechnungBuchen(n);
                ++booked;
            }
        },
        {m_daten.Rectab});
    return booked;
}

std::optional<MonthlyRun::Row> MonthlyRun::recomputeMonth(int month, int year) {
    checkMonth(month, year);
    Connection& db = *m_daten.connection();
    QSqlQuery q = db.exec(QStringLiteral("SELECT \"RecNr\", \"Netto\" FROM \"Rechnung\" WHERE "
                                         "\"Datum\" >= ? AND \"Datum\" < ? AND NOT \"Storniert\" "
                                         "ORDER BY \"RecNr\""),
                          monthBounds(month, year));
    Row row;
    row.month = month;
    row.year = year;
    row.iso = QStringLiteral("€");
    bool any = false;
    while (q.next()) {
        if (!any)
            row.first = q.value(0).toInt();
        row.last = q.value(0).toInt();
        if (!q.value(1).isNull())
            row.revenue += Money::fromDouble(q.value(1).toDouble());
        any = true;
    }
    if (!any)
        return std::nullopt;
    m_daten.atomically(
        [&] {
            db.exec(QStringLiteral(
                        "DELETE FROM \"Monatsrechnung\" WHERE \"Jahr\" = ? AND \"Monat\" = ?"),
                    {year, month});
            db.exec(QStringLiteral("INSERT INTO \"Monatsrechnung\" (\"Monat\", \"Jahr\", "
                                   "\"Rechnung_von\", \"Rechnung_bis\", \"Umsatz\", \"ISO\") "
                                   "VALUES (?, ?, ?, ?, ?, ?)"),
                    {month, year, row.first, row.last, row.revenue.toDouble(), row.iso});
        },
        {MRectab});
    monthRowChanged();
    return row;
}

QList<QPair<int, Money>> MonthlyRun::yearRevenue(int year) const {
    QList<QPair<int, Money>> bars;
    QSqlQuery q = m_daten.connection()->exec(
        QStringLiteral("SELECT \"Monat\", \"Umsatz\" FROM \"Monatsrechnung\" WHERE \"Jahr\" = ? "
                       "ORDER BY \"Monat\""),
        {year});
    while (q.next())
        bars.append({q.value(0).toInt(),
                     q.value(1).isNull() ? Money() : Money::fromDouble(q.value(1).toDouble())});
    return bars;
}

bool MonthlyRun::fillMissingCurrency() {
    Connection& db = *m_daten.connection();
    QSqlQuery first = db.exec(QStringLiteral(
        "SELECT \"ISO\" FROM \"Monatsrechnung\" ORDER BY \"Jahr\", \"Monat\" LIMIT 1"));
    if (!first.next() || !first.value(0).toString().trimmed().isEmpty())
        return false;
    // Only the rows without currency: a row marked "EUR" or "€" stays as it is.
    db.exec(QStringLiteral("UPDATE \"Monatsrechnung\" SET \"ISO\" = 'DM' WHERE \"ISO\" IS NULL "
                           "OR TRIM(\"ISO\") = ''"));
    monthRowChanged();
    return true;
}

} // namespace kilvaro
