#include "invoicing/InvoiceOverviewRules.h"

#include "base/DialogService.h"
#include "base/Format.h"
#include "base/Money.h"
#include "base/TextFile.h"
#include "base/Utils.h"
#include "base/DbError.h"
#include "invoicing/Daten_R.h"

#include <QFile>

namespace kilvaro {

InvoiceOverviewRules::InvoiceOverviewRules(TDaten_R& daten, DialogService& dialogs)
    : m_daten(daten), m_dialogs(dialogs) {}

// --- filters -----------------------------------------------------------------------------

QString InvoiceOverviewRules::monthCondition(int monthIndex, const QString& yearText) {
    int m = monthIndex + 1;
    if (m < 1 || m > 12)
        m = 1;
    const QString year = yearText.trimmed();
    const QString first = QStringLiteral("01.") + TwoDigits(m) + QLatin1Char('.') + year;
    bool ok = false;
    const int y = year.toInt(&ok);
    if (!ok)
        throw DbError(QStringLiteral("'%1' ist kein gültiges Datum.").arg(first));
    const QString last = QString::number(LastDayOfMonth(m, y).day()) + QLatin1Char('.') +
                         TwoDigits(m) + QLatin1Char('.') + year;
    return QStringLiteral("Datum >= %1 and Datum <= %2")
        .arg(JetDateLiteral(first), JetDateLiteral(last));
}

QString InvoiceOverviewRules::statusSuffix(int item) {
    switch (item) {
    case 1:
        return QStringLiteral(" and (bezahlt)");
    case 2:
        return QStringLiteral(" and (not bezahlt) and (not ausgeblendet)");
    case 3:
        return QStringLiteral(" and (not bezahlt) and (ausgeblendet)");
    default:
        return QString();
    }
}

QString InvoiceOverviewRules::filterText(const QString& monthCondition, const QString& suffix) {
    if (monthCondition.isEmpty())
        return suffix.mid(5);
    return monthCondition + suffix;
}

void InvoiceOverviewRules::applyFilter(Table& rectab, const QString& monthCondition,
                                       const QString& suffix) {
    const QString text = filterText(monthCondition, suffix);
    if (text.isEmpty()) {
        rectab.setFiltered(false);
        rectab.setFilter(text);
        return;
    }
    rectab.setFilter(text);
    rectab.setFiltered(true);
}

// --- payment notes -----------------------------------------------------------------------

QString InvoiceOverviewRules::notesPath(int recNr) {
    return DatenPath() + QString::number(recNr);
}

QString InvoiceOverviewRules::loadNotes(int recNr) {
    const QString path = notesPath(recNr);
    if (!QFile::exists(path))
        return QString();
    return TextFile::read(path);
}

void InvoiceOverviewRules::saveNotes(int recNr, const QString& text) {
    TextFile::write(notesPath(recNr), text);
}

// --- amounts -----------------------------------------------------------------------------

QString InvoiceOverviewRules::plainNumber(double value) {
    return Format::number(value, QStringLiteral("0.##########"));
}

QString InvoiceOverviewRules::remainingText() const {
    Table& r = *m_daten.Rectab;
    const double paid = r.field(QStringLiteral("Anzahlung")).asFloat();
    if (paid == 0)
        return QStringLiteral("...");
    return plainNumber(openAmount().toDouble());
}

Money InvoiceOverviewRules::openAmount() const {
    // The customer pays the gross printed on the invoice, which is rounded to cents: with
    // the unrounded gross, paying exactly that amount would leave fractions of a cent open.
    const Money gross = Money::fromDouble(m_daten.PostenBruttoSumme()).roundedToCents();
    return gross - Money::fromDouble(m_daten.Rectab->field(QStringLiteral("Anzahlung")).asFloat());
}

// --- actions -----------------------------------------------------------------------------

void InvoiceOverviewRules::markPaid() {
    Table& r = *m_daten.Rectab;
    r.edit();
    r.setValue(QStringLiteral("Bezahlt"), true);
    r.field(QStringLiteral("Anzahlung")).clear();
    r.field(QStringLiteral("AnzahlungD")).clear();
}

void InvoiceOverviewRules::markNotPaid() {
    Table& r = *m_daten.Rectab;
    r.edit();
    r.setValue(QStringLiteral("Bezahlt"), false);
    r.field(QStringLiteral("Zahlungsart")).clear();
    r.field(QStringLiteral("Zahlungsdatum")).clear();
}

InvoiceOverviewRules::PaymentResult InvoiceOverviewRules::Anzahlung() {
    PaymentResult result;
    const std::optional<QString> entry = m_dialogs.inputText(
        QStringLiteral("Anzahlung (Strg+V für Zwischenablage)"), QStringLiteral("Betrag"));
    if (!entry)
        return result;
    const QString text = entry->trimmed();
    bool ok = false;
    const double value = Format::parseGermanNumber(text, &ok);
    if (!ok)
        throw DbError(QStringLiteral("'%1' ist kein gültiger Betrag.").arg(text));
    const Money payment = Money::fromDouble(value);
    // Nothing, or money going back, is no part payment: it would only make the open
    // amount grow beyond the gross.
    if (payment <= Money())
        throw DbError(
            QStringLiteral("Eine Anzahlung muss größer als 0 sein; '%1' wird nicht gebucht.")
                .arg(text));

    Table& r = *m_daten.Rectab;
    if (r.isEmpty())
        throw DbError(QStringLiteral("Es ist keine Rechnung ausgewählt."));
    r.checkBrowseMode();
    const int recNr = r.field(QStringLiteral("RecNr")).asInteger();
    const Money open = openAmount();
    const QDate today = m_daten.today();

    if (open >= payment) {
        QString notes = loadNotes(recNr);
        if (!notes.isEmpty() && !notes.endsWith(QLatin1Char('\n')))
            notes += QLatin1Char('\n');
        notes += Format::date(today, QStringLiteral("dd.mm.yyyy")) + QLatin1Char(' ') +
                 payment.format(QStringLiteral("#,##0.00 €")) + QLatin1Char('\n');
        const Money before = Money::fromDouble(r.field(QStringLiteral("Anzahlung")).asFloat());
        // The notes file is written inside the transaction: if it cannot be written, the
        // amount is not booked either, and the other way round.
        m_daten.atomically(
            [&] {
                r.edit();
                r.setValue(QStringLiteral("Anzahlung"), (before + payment).toDouble());
                r.setValue(QStringLiteral("AnzahlungD"), today);
                r.post();
                saveNotes(recNr, notes);
            },
            {&r});
        result.outcome = PaymentOutcome::PartPaid;
        return result;
    }

    const QString over = plainNumber((payment - open).toDouble());
    m_daten.atomically(
        [&] {
            markPaid();
            r.setValue(QStringLiteral("Anzahlung"), 0.0);
            r.setValue(QStringLiteral("Bezahlt"), true);
            r.setValue(QStringLiteral("Zahlungsdatum"), today);
            r.post();
        },
        {&r});
    if (copyToClipboard)
        copyToClipboard(over);
    m_dialogs.message(
        QStringLiteral("Überzahlung von %1 €. Betrag ist in der Zwischenablage gespeichert")
            .arg(over),
        MsgIcon::Information);
    result.outcome = PaymentOutcome::Overpaid;
    result.overpayment = over;
    return result;
}

bool InvoiceOverviewRules::RecStorno() {
    Table& r = *m_daten.Rectab;
    if (r.isEmpty() || !r.field(QStringLiteral("Gebucht")).asBoolean() ||
        r.field(QStringLiteral("Storniert")).asBoolean())
        return false;
    const bool freeTrips = m_dialogs.confirm(
        QStringLiteral("Sollen die Fahrten nach dem Stornieren wieder freigegeben werden?"));
    const int recNr = r.field(QStringLiteral("RecNr")).asInteger();
    if (!m_dialogs.confirm(
            QStringLiteral("Wollen Sie die Rechnung %1 wirklich stornieren?").arg(recNr)))
        return false;
    m_daten.Stornieren(freeTrips);
    return true;
}

bool InvoiceOverviewRules::RecBuchen() {
    Table& r = *m_daten.Rectab;
    if (r.isEmpty() || r.field(QStringLiteral("Gebucht")).asBoolean())
        return false;
    const int recNr = r.field(QStringLiteral("RecNr")).asInteger();
    if (!m_dialogs.confirm(QStringLiteral("Rechnung %1 buchen? Eine gebuchte Rechnung kann nicht "
                                          "mehr geändert oder gelöscht werden.")
                               .arg(recNr)))
        return false;
    // What the user typed is stored before the invoice is locked against changes.
    r.checkBrowseMode();
    m_daten.RechnungBuchen(recNr);
    return m_daten.isBooked(recNr);
}

void InvoiceOverviewRules::getnetto() {
    Table& r = *m_daten.Rectab;
    if (r.isEmpty())
        return;
    const double netto = Money::fromDouble(m_daten.PostenNettoSumme()).toDouble();
    m_daten.atomically(
        [&] {
            r.edit();
            r.setValue(QStringLiteral("Netto"), netto);
            r.post();
        },
        {&r});
}

} // namespace kilvaro
