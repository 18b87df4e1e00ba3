#include "invoicing/InvoiceListRun.h"

#include "base/DbError.h"
#include "base/DialogService.h"
#include "data/Table.h"
#include "invoicing/Daten_R.h"
#include "invoicing/TBericht_Rechnung.h"

namespace kilvaro {

namespace {

/// Rectab filtered and ordered for one list; ordered by number again and unfiltered
/// afterwards, whatever happened in between. Restoring never throws: the list's own error,
/// if any, is the one to report.
class ListTableState {
public:
    explicit ListTableState(Table* table) : m_table(table) {}
    ~ListTableState() {
        try {
            m_table->setOrder(QStringLiteral("[RecNr] ASC"));
        } catch (...) {
        }
        try {
            m_table->setFiltered(false);
            m_table->setFilter(QString());
        } catch (...) {
        }
    }
    ListTableState(const ListTableState&) = delete;
    ListTableState& operator=(const ListTableState&) = delete;

    void apply(const QString& filter) {
        m_table->checkBrowseMode();
        m_table->setFiltered(false);
        m_table->setFilter(filter);
        m_table->setFiltered(true);
        // The invoices of one funeral director follow one another for the group band.
        m_table->setOrder(QStringLiteral("[Kunde] ASC, [RecNr] ASC"));
    }

private:
    Table* m_table;
};

} // namespace

InvoiceListPreset invoiceListPreset(InvoiceListKind kind) {
    switch (kind) {
    case InvoiceListKind::Alle:
        return {QStringLiteral("Bericht über alle Rechnungen"),
                QStringLiteral(" and not storniert")};
    case InvoiceListKind::Bezahlte:
        return {QStringLiteral("Bericht über bezahlte Rechnungen"),
                QStringLiteral(" and not storniert and (bezahlt)")};
    case InvoiceListKind::Unbezahlte:
        return {QStringLiteral("Bericht über unbezahlte Rechnungen"),
                QStringLiteral(" and not storniert and not (bezahlt) and not ausgeblendet")};
    case InvoiceListKind::Ausgeblendete:
        // Two blanks before "ausgeblendet", as stored report settings expect.
        return {QStringLiteral("Bericht über ausgeblendete Rechnungen"),
                QStringLiteral(" and not storniert and not (bezahlt) and  ausgeblendet")};
    }
    return {};
}

std::optional<InvoiceListKind> invoiceListKindByName(const QString& name) {
    const QString key = name.trimmed().toLower();
    if (key == QLatin1String("alle"))
        return InvoiceListKind::Alle;
    if (key == QLatin1String("bezahlte"))
        return InvoiceListKind::Bezahlte;
    if (key == QLatin1String("unbezahlte"))
        return InvoiceListKind::Unbezahlte;
    if (key == QLatin1String("ausgeblendete"))
        return InvoiceListKind::Ausgeblendete;
    return std::nullopt;
}

InvoiceListRun::InvoiceListRun(TDaten_R* daten, DialogService* dialogs)
    : m_daten(daten), m_dialogs(dialogs) {}

bool InvoiceListRun::run(const InvoiceListChoice& choice,
                         const std::function<void(TBericht_Rechnung& report)>& output) {
    m_count = 0;
    Table* invoices = m_daten->Rectab;
    if (!invoices->isOpen())
        throw DbError(QStringLiteral("Die Rechnungen sind nicht geöffnet."));
    if (choice.funeralDirector)
        m_daten->InvoiceFilter += QStringLiteral(" and kunde=%1").arg(*choice.funeralDirector);

    ListTableState state(invoices);
    TBericht_Rechnung report(m_daten);
    report.setTitle(choice.title);
    report.setPeriodText(choice.periodText);
    report.setGrouping(choice.byFuneralDirector, choice.pagePerFuneralDirector);
    report.settings().copies = std::max(1, choice.copies);
    report.setToday(m_daten->today());
    state.apply(choice.dateFilter + m_daten->InvoiceFilter);

    if (invoices->isEmpty()) {
        if (m_dialogs)
            m_dialogs->message(emptyText(), MsgIcon::Information, MsgButtons::Ok, emptyCaption());
        return false;
    }
    m_count = invoices->recordCount();
    output(report);
    return true;
}

} // namespace kilvaro
