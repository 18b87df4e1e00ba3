#include "reports/ReportFilter.h"

#include "base/Format.h"
#include "base/UserSettings.h"
#include "base/Utils.h"
#include "data/Daten_A.h"

#include <QSqlQuery>

namespace kilvaro {

namespace {

QString shortDate(const QDate& date) {
    return Format::date(date, QStringLiteral("dd.mm.yyyy"));
}

} // namespace

ReportFilter::ReportFilter(TDaten_A* daten, UserSettings* settings)
    : m_daten(daten), m_settings(settings) {
    computePeriod();
}

void ReportFilter::fill(const QDate& today) {
    m_monthIndex = today.month() - 1;
    m_yearText = QString::number(today.year());
    computePeriod();
    readAddresses();

    int stored = 0;
    const std::optional<int> value =
        m_settings ? m_settings->intValue(UserSettings::App::Kilv, settingsKey()) : std::nullopt;
    if (value) {
        stored = *value;
    } else if (m_settings) {
        // First use (or an unreadable value): remember a position, as the old program did;
        // the first entry is chosen below and replaces it.
        m_settings->setValue(UserSettings::App::Kilv, settingsKey(), 1);
    }
    // A stored position beyond the list (addresses deleted or deactivated since) falls back
    // to the first entry rather than to no funeral director at all.
    if (stored < 0 || stored >= m_names.size())
        stored = 0;
    setBestatterIndex(m_names.isEmpty() ? -1 : stored);
}

void ReportFilter::readAddresses() {
    m_names.clear();
    BestatterIDs.clear();
    if (!m_daten || !m_daten->AdressTab->isOpen())
        return;
    Table* t = m_daten->AdressTab;
    // Read row by row without moving the shared table's current row.
    const int count = t->recordCount();
    for (int row = 0; row < count; ++row) {
        if (!t->valueAt(row, QStringLiteral("Aktiv")).toBool())
            continue;
        m_names << t->valueAt(row, QStringLiteral("Name")).toString();
        BestatterIDs << t->valueAt(row, QStringLiteral("ID")).toInt();
    }
}

void ReportFilter::setMode(Mode mode) {
    m_mode = mode;
    if (mode == Mode::AlleDaten) {
        m_von = allDataFirst();
        m_bis = allDataLast();
    } else {
        computePeriod();
    }
}

void ReportFilter::setMonthIndex(int index) {
    m_monthIndex = (index >= 0 && index < 12) ? index : -1;
    computePeriod();
}

int ReportFilter::month() const {
    return (m_monthIndex >= 0 && m_monthIndex < 12) ? m_monthIndex + 1 : 1;
}

bool ReportFilter::setYearText(const QString& text) {
    m_yearText = text;
    return computePeriod();
}

std::optional<int> ReportFilter::year() const {
    bool ok = false;
    const int y = m_yearText.trimmed().toInt(&ok);
    // Years outside the arrows' range are refused too: while a year is being typed, "2" or
    // "20" must not move the period to antiquity.
    if (!ok || y < FirstYear || y > LastYear)
        return std::nullopt;
    return y;
}

void ReportFilter::setVon(const QDate& date) {
    if (datesEditable() && date.isValid())
        m_von = date;
}

void ReportFilter::setBis(const QDate& date) {
    if (datesEditable() && date.isValid())
        m_bis = date;
}

bool ReportFilter::computePeriod() {
    const std::optional<int> y = year();
    if (!y)
        return false;
    // Writes February of the shared month table for this year. The full leap-year rule:
    // "divisible by 4" alone would make 29.02.2100 the end of a month that has no such day.
    LastDayOfMonth(2, *y);
    if (m_mode == Mode::Monat) {
        m_von = QDate(*y, month(), 1);
        m_bis = LastDayOfMonth(month(), *y);
    } else if (m_mode == Mode::Jahr) {
        m_von = QDate(*y, 1, 1);
        m_bis = QDate(*y, 12, 31);
    }
    return true;
}

QString ReportFilter::inputError() const {
    if (yearEditable()) {
        if (!year())
            return QStringLiteral("„%1“ ist kein gültiges Jahr. Bitte ein Jahr von %2 bis %3 "
                                  "eingeben.")
                .arg(m_yearText.trimmed())
                .arg(FirstYear)
                .arg(LastYear);
    }
    if (m_mode == Mode::Beliebig && m_von > m_bis)
        return QStringLiteral("Der Zeitraum ist leer: das Datum „von“ (%1) liegt nach dem Datum "
                              "„bis“ (%2).")
            .arg(shortDate(m_von), shortDate(m_bis));
    return QString();
}

void ReportFilter::computeResults() {
    // Month and year as the dates show them, so the heading never names a period the data
    // filter does not cover (the dates stay unchanged while the year text is not valid).
    const QString yearShown = QString::number(m_von.year());
    switch (m_mode) {
    case Mode::Monat:
        Zeittext = Format::monthName(m_von.month()) + QLatin1Char(' ') + yearShown;
        break;
    case Mode::Jahr:
        Zeittext = QStringLiteral(" - ") + yearShown + QStringLiteral(" - ");
        break;
    case Mode::Beliebig:
        Zeittext = shortDate(m_von) + QStringLiteral(" - ") + shortDate(m_bis);
        break;
    case Mode::AlleDaten:
        Zeittext = QStringLiteral("Gesamtausdruck");
        break;
    }
    Datumfilter = QStringLiteral("DATUM >= %1 AND DATUM <= %2")
                      .arg(JetDateLiteral(m_von), JetDateLiteral(m_bis));
}

void ReportFilter::setBestatterIndex(int index) {
    m_bestatterIndex = (index >= 0 && index < m_names.size()) ? index : -1;
    // An empty list (no database, no active address) must not overwrite the stored choice.
    if (m_settings && m_bestatterIndex >= 0)
        m_settings->setValue(UserSettings::App::Kilv, settingsKey(), m_bestatterIndex);
    fillTitles();
}

std::optional<int> ReportFilter::chosenBestatterId() const {
    if (m_bestatterIndex < 0 || m_bestatterIndex >= BestatterIDs.size())
        return std::nullopt;
    return BestatterIDs.at(m_bestatterIndex);
}

void ReportFilter::fillTitles() {
    m_titles.clear();
    const std::optional<int> id = chosenBestatterId();
    if (!id || !m_daten || !m_daten->isConnected())
        return;
    // The tariff group is read by the address ID: two addresses may share a name, and an
    // address that is gone must not lend the places of whichever row is current.
    QSqlQuery q = m_daten->Database->exec(
        QStringLiteral("SELECT Tarifgruppe FROM ADRESSEN WHERE ID = ?"), {*id});
    if (!q.next() || q.value(0).isNull()) {
        // No group: the filter of an earlier choice must not go on selecting its versions.
        m_daten->Orthaupttab->setFiltered(false);
        return;
    }
    const int group = q.value(0).toInt();

    // The tariff versions stay filtered to the group afterwards: the tariff report prints
    // the versions that pass this filter, and the tariff window clears it when activated.
    Table* head = m_daten->Orthaupttab;
    head->setFilter(QStringLiteral("Nr = %1").arg(group));
    head->setFiltered(true);
    Table* places = m_daten->Ortetab;
    if (!places->isOpen() || head->isEmpty())
        return;
    const int count = places->recordCount();
    for (int row = 0; row < count; ++row)
        m_titles << places->valueAt(row, QStringLiteral("Ort")).toString();
}

} // namespace kilvaro
