#include "invoicing/TRec_Dokument.h"

#include "base/Format.h"
#include "base/Money.h"
#include "base/Resources.h"
#include "base/TextFile.h"
#include "base/DbError.h"
#include "data/Query.h"
#include "data/Table.h"
#include "invoicing/Daten_R.h"

#include <QFileInfo>

namespace kilvaro {

namespace {

// Page: A4 portrait with 20 mm left and right margins, so x 0 is the left edge of the
// address window (20 mm from the paper's edge) and the text line starts at x 5 (25 mm).
constexpr double MarginLeft = 20, MarginTop = 10, MarginRight = 20, MarginBottom = 10;
constexpr double TextX = 5;
constexpr double HeaderHeight = 52; // down to 62 mm: the top of the window's address zone
constexpr double AmountX = 144, AmountW = 26;
// Position lines: 18 and 33 layout pixels of the old layout at 96 dpi.
constexpr double LineNormal = 18 * 25.4 / 96, LineBig = 33 * 25.4 / 96;

std::function<int()>& copiesProvider() {
    static std::function<int()> provider;
    return provider;
}

QStringList readFile(const QString& folder, const char* name) {
    try {
        return TextFile::readLines(folder + QString::fromLatin1(name));
    } catch (const DbError& e) {
        throw DbError(QStringLiteral("Die Rechnung kann nicht erstellt werden. ") + e.message());
    }
}

QString address(const Table* t, const char* field) {
    return t->value(QString::fromUtf8(field)).toString().trimmed();
}

} // namespace

TRec_Dokument::TRec_Dokument(TDaten_R* daten, const QString& programFolder)
    : m_daten(daten), m_folder(programFolder), m_positions(daten->RecFahrten) {
    initResources();
    setTitle(QStringLiteral("Rechnung..."));
    setOrientation(QPageLayout::Portrait);
    setMargins(QMarginsF(MarginLeft, MarginTop, MarginRight, MarginBottom));
    options().headerOnFirstPage = true;
    options().footerOnLastPage = true;

    // FormCreate: all four files are read before anything is built, so a missing one
    // stops the document before it can show or print anything.
    const QStringList company = readFile(m_folder, CompanyFile);
    const QStringList contact = readFile(m_folder, ContactFile);
    const QStringList left = readFile(m_folder, FooterLeftFile);
    const QStringList right = readFile(m_folder, FooterRightFile);

    buildLetterhead(company);
    buildAddress(contact);
    buildPositions();
    buildFooter(left, right);
}

TRec_Dokument::~TRec_Dokument() {
    try {
        FormClose();
    } catch (const DbError&) {
        // The invoice table stays as filtered; nothing else may fail while unwinding.
    }
}

QString TRec_Dokument::logoFileName(int index) {
    return QStringLiteral("logo%1.png").arg(index + 1);
}

QString TRec_Dokument::defaultYearsLine() {
    return QStringLiteral("Tag und Nacht für Sie erreichbar");
}

QImage TRec_Dokument::logo(int index) const {
    const QString own = m_folder + logoFileName(index);
    if (QFileInfo::exists(own)) {
        QImage img(own);
        if (!img.isNull())
            return img;
    }
    return QImage(QStringLiteral(":/defaults/") + logoFileName(index));
}

// --- layout ------------------------------------------------------------------------------

void TRec_Dokument::buildLetterhead(const QStringList& company) {
    const double w = contentWidth();
    auto* head = addBand(BandKind::PageHeader, QStringLiteral("BriefKopf"), HeaderHeight);
    head->addRect(QStringLiteral("Rahmen"), {0, 0, w, 32}, 0.75);
    head->addLabel(QStringLiteral("ltitel"), {TextX, 3, 100, 11}, company.value(0))
        .setFontSize(26)
        .bold();
    QString years = defaultYearsLine();
    if (QFileInfo::exists(m_folder + QString::fromLatin1(YearsFile))) {
        const QStringList own = readFile(m_folder, YearsFile);
        if (!own.isEmpty())
            years = own.first();
    }
    head->addLabel(QStringLiteral("QRLabel15"), {TextX, 16, 90, 5}, years).italic();
    for (int i = 0; i < 3; ++i)
        head->addImage(QStringLiteral("QRImage%1").arg(i + 1), {98.0 + i * 13.0, 18, 11, 11},
                       logo(i));
    const char* column[] = {"Überführungen", "Bestattungsfahrten ", "Einzel und Doppel-",
                            "Überführungen", "im In- und Ausland"};
    for (int i = 0; i < 5; ++i)
        head->addLabel(QStringLiteral("Spalte%1").arg(i + 1), {139, 4.5 + i * 4.2, 29, 4.2},
                       QString::fromUtf8(column[i]))
            .setFontSize(9);
    head->addSystem(QStringLiteral("Seite2"), {w - 50, 46, 50, 4}, ReportItem::System::PageNumber,
                    QStringLiteral("Seite "))
        .setFontSize(8)
        .alignRight();
    // The return line sits at the bottom of the window's upper zone, right above the
    // recipient's address.
    head->addLabel(QStringLiteral("lanschrift"), {TextX, 48, 80, 3}, company.value(1))
        .setFontSize(6);
}

void TRec_Dokument::buildAddress(const QStringList& contact) {
    const double w = contentWidth();
    auto* sub = addSubDetail(QStringLiteral("adressdetails"), &m_address, 46);
    sub->setPrintIfEmpty(false); // no address band: no cover text either
    sub->beforeOpen = [this] { fillAddress(); };
    ReportBand* b = sub->band();
    b->beforePrint = [this](ReportBand& band, bool& p) { AdressdetailsBeforePrint(band, p); };
    // The address zone of the window: 62.7 to 90 mm from the top, five lines of 12 pt.
    const char* lines[] = {"Anrede", "Geschäftsbezeichnung", "lName", "Straße", "PLZ"};
    for (int i = 0; i < 5; ++i)
        b->addLabel(QString::fromUtf8(lines[i]), {TextX, 1.5 + i * 5.0, 80, 5}, QString())
            .setFontSize(12);
    b->addLabel(QStringLiteral("Adresstext"), {105, 1.5, w - 105, 4}, contact.join(u'\n'))
        .setFontSize(9);
    b->addLabel(QStringLiteral("vnr"), {105, 30, w - 105, 4}, QString()).setFontSize(9);
    b->addLabel(QStringLiteral("Recueberschrift"), {TextX, 37, 110, 7}, QString())
        .setFontSize(14)
        .bold();
    b->addLabel(QStringLiteral("FRecDatum"), {w - 50, 38.2, 50, 5}, QString()).alignRight();

    ReportBand* kopf = addSubDetailFooter(sub, QStringLiteral("Kopf"), 9);
    kopf->setFrame(ReportFrame::bottomRule(2));
    kopf->beforePrint = [this](ReportBand& band, bool& p) { KopfBeforePrint(band, p); };
    kopf->addLabel(QStringLiteral("FTextv"), {TextX, 1, w - TextX, 5}, QString()).setWordWrap();
}

void TRec_Dokument::buildPositions() {
    const double w = contentWidth();
    auto* sub = addSubDetail(QStringLiteral("fahrtdetails"), &m_positions, LineNormal);
    ReportBand* d = sub->band();
    d->beforePrint = [this](ReportBand& band, bool& p) { fahrtdetailsBeforePrint(band, p); };
    d->addField(QStringLiteral("Datum"), {TextX, 0.4, 19, 4}, QStringLiteral("Datum"),
                QStringLiteral("dd.mm.yyyy"));
    d->addVLine(QStringLiteral("Trenner1"), 25.5, 0, LineNormal, 0.3);
    d->addField(QStringLiteral("Rectext"), {27, 0.4, AmountX - 29, 4}, QStringLiteral("Rectext"))
        .setWordWrap();
    d->addVLine(QStringLiteral("Trenner2"), AmountX - 1.5, 0, LineNormal, 0.3);
    d->addField(QStringLiteral("Netto"), {AmountX, 0.4, AmountW, 4}, QStringLiteral("Netto"),
                QStringLiteral("#,##0.00 €"))
        .alignRight();

    ReportBand* z = addSubDetailFooter(sub, QStringLiteral("Zusammenfassung"), 20);
    z->setFrame(ReportFrame::topRule(0.5));
    z->beforePrint = [this](ReportBand& band, bool& p) { ZusammenfassungBeforePrint(band, p); };
    // The net total adds the position amounts as they print, in whole cents.
    z->addSum(QStringLiteral("sumnetto"), {w - 50, 1.5, 50, 5}, QStringLiteral("Netto"),
              QStringLiteral("#,##0.00 €"))
        .alignRight()
        .setSumOfCents();
    z->addLabel(QStringLiteral("lmw1"), {92, 6.5, 25, 5}, QString()).alignRight();
    z->addLabel(QStringLiteral("QRLabelMWST"), {119, 6.5, 14, 5}, QStringLiteral("MWST"));
    z->addLabel(QStringLiteral("SumMWST"), {w - 40, 6.5, 40, 5}, QString()).alignRight();
    z->addDoubleLine(QStringLiteral("Doppellinie"), w - 40, 12.3, 40, 0.5);
    z->addLabel(QStringLiteral("sumbrutto"), {w - 50, 13.8, 50, 5}, QString()).alignRight().bold();
}

void TRec_Dokument::buildFooter(const QStringList& left, const QStringList& right) {
    const double w = contentWidth();
    const double lineH = 3.6; // 8 pt
    const int lines = std::max<int>({2, int(left.size()), int(right.size())});
    const double height = 6 + lines * lineH + 1;
    auto* f = addBand(BandKind::PageFooter, QStringLiteral("Fuss"), height);
    f->addLabel(QStringLiteral("Zahlbar"), {0, 0, w, 4},
                QStringLiteral("Zahlbar 8 Tage nach Rechnungserhalt"))
        .setFontSize(8)
        .alignCenter();
    f->addHLine(QStringLiteral("Fusslinie"), 0, 4.8, w, 0.3);
    f->addLabel(QStringLiteral("Rfl"), {TextX, 6, 85, lineH}, left.join(u'\n')).setFontSize(8);
    f->addLabel(QStringLiteral("Rfr"), {w - 80, 6, 80, lineH}, right.join(u'\n'))
        .setFontSize(8)
        .alignRight();
    // Fold marks (105 and 210 mm) and the hole mark (148.5 mm) at the paper's left edge.
    // The footer is the one band whose place on the page is fixed, so they hang on it,
    // above its top (negative y adds nothing to its height).
    const double footerTop = paperSize().height() - MarginBottom - height;
    const double marks[] = {105, 148.5, 210};
    const char* names[] = {"Falzmarke1", "Lochmarke", "Falzmarke2"};
    for (int i = 0; i < 3; ++i)
        f->addHLine(QString::fromLatin1(names[i]), -MarginLeft, marks[i] - footerTop,
                    i == 1 ? 10 : 7, 0.3);
}

// --- preparing ---------------------------------------------------------------------------

void TRec_Dokument::setCopiesProvider(std::function<int()> provider) {
    copiesProvider() = std::move(provider);
}

void TRec_Dokument::RechnungVorbereiten(int recNr, int posId) {
    Table* rectab = m_daten->Rectab;
    rectab->checkBrowseMode();
    if (!m_prepared) {
        // Kept so that closing gives a window's own filter back (the overview filters by
        // month and state) instead of dropping it.
        m_savedFilter = rectab->filter();
        m_savedFiltered = rectab->filtered();
        m_prepared = true;
        m_closed = false;
    }
    m_recNr = recNr;
    m_posId = posId;
    rectab->setFilter(QStringLiteral("RecNr = %1").arg(recNr));
    rectab->setFiltered(true);

    Query* q = m_daten->RecFahrten;
    q->close();
    QStringList lines{QStringLiteral("Select * from recpos where recid =%1").arg(invoiceRecNr())};
    if (posId != -1)
        lines << QStringLiteral("and id =%1").arg(posId);
    lines << QStringLiteral("order by auftragsnr");
    q->setLines(lines);
    q->open();
}

void TRec_Dokument::FormClose() {
    if (!m_prepared || m_closed)
        return;
    m_closed = true;
    Table* rectab = m_daten->Rectab;
    if (!rectab->isOpen())
        return;
    rectab->setFiltered(false);
    rectab->setFilter(m_savedFilter);
    if (m_savedFiltered)
        rectab->setFiltered(true);
    rectab->locate(QStringLiteral("RecNr"), m_recNr);
}

void TRec_Dokument::appendPagesTo(ReportPages& target) {
    const std::unique_ptr<ReportPages> own = render();
    if (target.pageCount() == 0)
        target.reset(own->title(), own->orientation(), own->paperSize());
    for (int i = 0; i < own->pageCount(); ++i)
        target.appendPage(own->page(i));
}

void TRec_Dokument::hideCoverText() {
    item(QStringLiteral("FTextv"))->setVisible(false);
}

void TRec_Dokument::beforePrint() {
    if (copiesProvider())
        settings().copies = std::max(1, copiesProvider()());
}

// --- band rules --------------------------------------------------------------------------

QVariant TRec_Dokument::invoiceValue(const QString& field) const {
    const Table* rectab = m_daten->Rectab;
    if (!rectab->isOpen() || rectab->isEmpty())
        return {};
    return rectab->value(field);
}

int TRec_Dokument::invoiceRecNr() const {
    return invoiceValue(QStringLiteral("RecNr")).toInt();
}

bool TRec_Dokument::invoiceFlag(const QString& field) const {
    return invoiceValue(field).toBool();
}

void TRec_Dokument::fillAddress() {
    QList<QVariantMap> rows;
    const Table* adr = m_daten->Adresstab;
    const bool invoice = invoiceRecNr() != 0;
    if (invoice && adr->isOpen() && !adr->isEmpty()) {
        rows.append({{QStringLiteral("Anrede"), address(adr, "Anrede")},
                     {QStringLiteral("Geschaeft"), address(adr, "Geschäftsbezeichnung")},
                     {QStringLiteral("Vorname"), address(adr, "Vorname")},
                     {QStringLiteral("Name"), address(adr, "Name")},
                     {QStringLiteral("Strasse"), address(adr, "Straße")},
                     {QStringLiteral("PLZ"), address(adr, "PLZ")},
                     {QStringLiteral("Ort"), address(adr, "Ort")},
                     {QStringLiteral("Vertragsnr"), address(adr, "Vertragsnr")}});
    } else if (invoice || m_recNr == 0) {
        // The blank form, or an invoice whose funeral director's address is gone: the
        // heading with number and date still prints, the address lines stay empty.
        rows.append(QVariantMap{{QStringLiteral("Name"), QString()}});
    }
    m_address.setRows(rows);
}

void TRec_Dokument::AdressdetailsBeforePrint(ReportBand& band, bool&) {
    auto value = [this](const char* f) {
        return m_address.value(QString::fromLatin1(f)).toString();
    };
    // Name line: first name and name, each followed by a blank.
    QString name;
    if (!value("Vorname").isEmpty())
        name = value("Vorname") + QLatin1Char(' ');
    name = name + value("Name") + QLatin1Char(' ');
    if (value("Name").isEmpty() && value("Vorname").isEmpty())
        name.clear();
    QString place = value("PLZ");
    if (!value("Ort").isEmpty())
        place = (place + QLatin1Char(' ') + value("Ort")).trimmed();
    const QString texts[] = {value("Anrede"), value("Geschaeft"), name, value("Strasse"), place};
    const char* items[] = {"Anrede", "Geschäftsbezeichnung", "lName", "Straße", "PLZ"};
    // Empty lines are closed up, so the address reads as one block in the window.
    double y = 1.5;
    for (int i = 0; i < 5; ++i) {
        ReportItem* it = band.item(QString::fromUtf8(items[i]));
        it->setCaption(texts[i]);
        QRectF g = it->geometry();
        g.moveTop(y);
        it->setGeometry(g);
        if (!texts[i].isEmpty())
            y += 5.0;
    }

    const int recNr = invoiceRecNr();
    QString heading =
        recNr != 0 ? QStringLiteral("Rechnung Nr. %1").arg(recNr) : QStringLiteral("Rechnung");
    if (invoiceFlag(QStringLiteral("Storniert")))
        heading = QStringLiteral("Storno-Rechnung Nr. %1").arg(recNr);
    band.item(QStringLiteral("Recueberschrift"))->setCaption(heading);
    const QDateTime datum = invoiceValue(QStringLiteral("Datum")).toDateTime();
    band.item(QStringLiteral("FRecDatum"))
        ->setCaption(datum.isValid() ? Format::date(datum.date(), QStringLiteral("dd.mm.yyyy"))
                                     : QString());

    ReportItem* vnr = band.item(QStringLiteral("vnr"));
    const QString contract = value("Vertragsnr");
    vnr->setCaption(QStringLiteral("Vertragsnr: ") + contract);
    vnr->setVisible(!contract.isEmpty());
}

void TRec_Dokument::KopfBeforePrint(ReportBand& band, bool&) {
    band.item(QStringLiteral("FTextv"))
        ->setCaption(invoiceValue(QStringLiteral("Textvor")).toString());
    ReportFrame rule = band.frame();
    rule.width = invoiceFlag(QStringLiteral("Single")) ? 0 : 2;
    band.setFrame(rule);
}

void TRec_Dokument::fahrtdetailsBeforePrint(ReportBand& band, bool& printIt) {
    m_currency = QStringLiteral("€");
    ReportItem* datum = band.item(QStringLiteral("Datum"));
    ReportItem* text = band.item(QStringLiteral("Rectext"));
    ReportItem* netto = band.item(QStringLiteral("Netto"));
    netto->setMask(QStringLiteral("#,##0.00 ") + m_currency);
    const bool big = invoiceFlag(QStringLiteral("BigR"));
    const double size = big ? 12 : 9;
    const double lineH = big ? LineBig : LineNormal;
    const double top = big ? 1.5 : 0.4;
    // The large date with its time needs a wider column.
    const double dateW = big ? 31 : 19;
    const double sep1 = TextX + dateW + 1.5;
    datum->setMask(big ? QStringLiteral("dd.mm.yy hh:mm") : QStringLiteral("dd.mm.yyyy"));
    for (ReportItem* it : {datum, text, netto})
        it->setFontSize(size);
    datum->setGeometry({TextX, top, dateW, lineH - top});
    text->setGeometry({sep1 + 1.5, top, AmountX - 1.5 - (sep1 + 1.5) - 1.5, lineH - top});
    netto->setGeometry({AmountX, top, AmountW, lineH - top});
    band.item(QStringLiteral("Trenner1"))->setGeometry({sep1, 0, 0, lineH});
    band.setHeight(lineH);
    if (invoiceRecNr() == 0)
        printIt = false;
}

void TRec_Dokument::ZusammenfassungBeforePrint(ReportBand& band, bool& printIt) {
    if (invoiceRecNr() == 0)
        printIt = false;
    ReportItem* sumnetto = band.item(QStringLiteral("sumnetto"));
    const QString mask = QStringLiteral("#,##0.00 €");
    sumnetto->setMask(mask);
    const int rate = invoiceValue(QStringLiteral("MWSt")).toInt();
    const Money::VatAmounts amounts = sumnetto->sum().withVat(rate);
    band.item(QStringLiteral("lmw1"))
        ->setCaption(QStringLiteral("+ ") + Format::number(rate, QStringLiteral("#,##0.00")) +
                     QStringLiteral(" %"));
    QString vatText = amounts.vat.format(mask);
    QString grossText = amounts.gross.format(mask);
    if (invoiceFlag(QStringLiteral("Storniert"))) {
        // The minus marks the cancellation; an amount that is negative already keeps its
        // one sign ("-10,00 €", never "--10,00 €").
        if (amounts.net >= Money())
            sumnetto->setMask(QLatin1Char('-') + mask);
        if (!vatText.startsWith(QLatin1Char('-')))
            vatText.prepend(QLatin1Char('-'));
        if (!grossText.startsWith(QLatin1Char('-')))
            grossText.prepend(QLatin1Char('-'));
    }
    band.item(QStringLiteral("SumMWST"))->setCaption(vatText);
    band.item(QStringLiteral("sumbrutto"))->setCaption(grossText);
}

} // namespace kilvaro
