// The banded engine's run: band order, groups, sub-details, child bands, sums, hooks,
// empty data, page breaks, page numbers and counts.
#include "reports/Report.h"
#include "reports/RowRecordSource.h"

#include <gtest/gtest.h>

using namespace kilvaro;

static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

QVariantMap row(const QString& group, const QString& name, double amount, int key = 0) {
    return {{QStringLiteral("Gruppe"), group},
            {QStringLiteral("Name"), name},
            {QStringLiteral("Betrag"), amount},
            {QStringLiteral("Key"), key}};
}

/// A small report with every band kind; tests switch parts off as they need.
class SampleReport : public Report {
public:
    RowRecordSource data;
    RowRecordSource positions;
    ReportGroup* group = nullptr;
    ReportSubDetail* sub = nullptr;

    SampleReport() {
        setTitle(QStringLiteral("Probe"));
        setToday(QDate(2024, 2, 29));
        setDataSource(&data);
        addBand(BandKind::PageHeader, QStringLiteral("PageHeader"), 10)
            ->addSystem(QStringLiteral("Seite"), {140, 0, 35, 5}, ReportItem::System::PageNumber,
                        QStringLiteral("Seite "))
            .alignRight();
        addBand(BandKind::Title, QStringLiteral("Title"), 12)
            ->addSystem(QStringLiteral("Titel"), {0, 0, 175, 8}, ReportItem::System::ReportTitle);
        addBand(BandKind::ColumnHeader, QStringLiteral("ColumnHeader"), 6)
            ->addLabel(QStringLiteral("LName"), {0, 0, 60, 5}, QStringLiteral("Name"));
        group = addGroup(QStringLiteral("Gruppe"), QStringLiteral("Gruppe"),
                         QStringLiteral("GroupHeader"), 7);
        group->header()->addField(QStringLiteral("GName"), {0, 0, 60, 5}, QStringLiteral("Gruppe"));
        auto* detail = addBand(BandKind::Detail, QStringLiteral("Detail"), 5);
        detail->addField(QStringLiteral("Name"), {0, 0, 100, 5}, QStringLiteral("Name"));
        detail
            ->addField(QStringLiteral("Betrag"), {130, 0, 45, 5}, QStringLiteral("Betrag"),
                       QStringLiteral("#,##0.00 €"))
            .alignRight();
        detail->addChild(QStringLiteral("Child"), 4)
            ->addLabel(QStringLiteral("LChild"), {0, 0, 50, 4}, QStringLiteral("Fortsetzung"));
        auto* footer = addGroupFooter(group, QStringLiteral("GroupFooter"), 6);
        footer->addField(QStringLiteral("FName"), {0, 0, 60, 5}, QStringLiteral("Gruppe"));
        footer
            ->addSum(QStringLiteral("GSumme"), {130, 0, 45, 5}, QStringLiteral("Betrag"),
                     QStringLiteral("#,##0.00 €"))
            .alignRight();
        addBand(BandKind::Summary, QStringLiteral("Summary"), 6)
            ->addSum(QStringLiteral("Gesamt"), {130, 0, 45, 5}, QStringLiteral("Betrag"),
                     QStringLiteral("#,##0.00 €"))
            .alignRight();
        auto* pf = addBand(BandKind::PageFooter, QStringLiteral("PageFooter"), 8);
        pf->addSystem(QStringLiteral("Datum"), {0, 0, 40, 5}, ReportItem::System::Date);
        pf->addSystem(QStringLiteral("Anzahl"), {100, 0, 40, 5}, ReportItem::System::DetailCount,
                      QStringLiteral("Zeilen: "));
    }

    void addPositions() {
        sub = addSubDetail(QStringLiteral("Pos"), &positions, 5);
        sub->band()->addField(QStringLiteral("PText"), {10, 0, 80, 5}, QStringLiteral("Text"));
        addSubDetailHeader(sub, QStringLiteral("PosHeader"), 5)
            ->addLabel(QStringLiteral("LPos"), {10, 0, 50, 5}, QStringLiteral("Positionen"));
        addSubDetailFooter(sub, QStringLiteral("PosFooter"), 5)
            ->addSum(QStringLiteral("PSumme"), {130, 0, 45, 5}, QStringLiteral("Wert"));
        // The positions follow the master: rows of the current master key only.
        sub->beforeOpen = [this] {
            const int key = data.value(QStringLiteral("Key")).toInt();
            QList<QVariantMap> rows;
            for (int i = 1; i <= key; ++i)
                rows.append({{QStringLiteral("Text"), QStringLiteral("Pos %1.%2").arg(key).arg(i)},
                             {QStringLiteral("Wert"), double(i)}});
            positions.setRows(rows);
        };
    }

    int beforePrintRuns = 0;

protected:
    void beforePrint() override { ++beforePrintRuns; }
};

QStringList allTextsOf(const ReportPages& pages, const QString& item) {
    QStringList out;
    for (int i = 0; i < pages.pageCount(); ++i)
        out += pages.page(i).textsOf(item);
    return out;
}

} // namespace

TEST(EngineBands, PrintOrderOfEveryBandKind) {
    SampleReport r;
    r.addPositions();
    r.data.setRows({row("A", "Anna", 10, 1), row("A", "Bert", 20, 0), row("B", "Carl", 5, 2)});
    auto pages = r.render();
    ASSERT_EQ(pages->pageCount(), 1);
    EXPECT_EQ(r.beforePrintRuns, 1);
    const QStringList expected = {
        "PageHeader", "Title",       "ColumnHeader", "GroupHeader", "Detail",  "Child",
        "PosHeader",  "Pos",         "PosFooter",    "Detail",      "Child",   "PosHeader",
        "PosFooter",  "GroupFooter", "GroupHeader",  "Detail",      "Child",   "PosHeader",
        "Pos",        "Pos",         "PosFooter",    "GroupFooter", "Summary", "PageFooter"};
    EXPECT_EQ(pages->page(0).bands, expected);
    EXPECT_EQ(allTextsOf(*pages, "PText"), QStringList({"Pos 1.1", "Pos 2.1", "Pos 2.2"}));
    EXPECT_EQ(allTextsOf(*pages, "PSumme"), QStringList({"1,00", "0,00", "3,00"}))
        << "the sub-detail's sum covers its own records and resets after its footer";
    EXPECT_TRUE(pages->isFinished());
    EXPECT_EQ(pages->progress(), 100);
}

TEST(EngineBands, GroupFootersShowTheirGroupAndSumsResetAfterPrinting) {
    SampleReport r;
    r.data.setRows({row("A", "Anna", 10.5, 0), row("A", "Bert", 20, 0), row("B", "Carl", 5, 0),
                    row("C", "Dora", 1234.5, 0)});
    auto pages = r.render();
    EXPECT_EQ(allTextsOf(*pages, "GName"), QStringList({"A", "B", "C"}));
    EXPECT_EQ(allTextsOf(*pages, "FName"), QStringList({"A", "B", "C"}))
        << "a group footer shows the last record of its group, not the next one";
    EXPECT_EQ(allTextsOf(*pages, "GSumme"), QStringList({"30,50 €", "5,00 €", "1.234,50 €"}));
    EXPECT_EQ(allTextsOf(*pages, "Gesamt"), QStringList({"1.270,00 €"}));
    EXPECT_EQ(allTextsOf(*pages, "Betrag").first(), QStringLiteral("10,50 €"));
    EXPECT_EQ(allTextsOf(*pages, "Anzahl"), QStringList({"Zeilen: 4"}));
    EXPECT_EQ(allTextsOf(*pages, "Datum"), QStringList({"29.02.2024"}));

    // A second run starts from zero again.
    auto again = r.render();
    EXPECT_EQ(allTextsOf(*again, "Gesamt"), QStringList({"1.270,00 €"}));
    EXPECT_EQ(allTextsOf(*again, "Anzahl"), QStringList({"Zeilen: 4"}));
}

TEST(EngineBands, NewPagePerGroupAndEmptyExpressionMakesOneGroup) {
    SampleReport r;
    r.group->setNewPage(true);
    r.data.setRows({row("A", "Anna", 1, 0), row("A", "Bert", 2, 0), row("B", "Carl", 3, 0),
                    row("C", "Dora", 4, 0)});
    auto pages = r.render();
    ASSERT_EQ(pages->pageCount(), 3);
    EXPECT_EQ(pages->page(0).textsOf("GName"), QStringList({"A"}));
    EXPECT_EQ(pages->page(1).textsOf("GName"), QStringList({"B"}));
    EXPECT_EQ(pages->page(2).textsOf("GName"), QStringList({"C"}));
    EXPECT_EQ(pages->page(1).textsOf("Seite"), QStringList({"Seite 2"}));
    EXPECT_FALSE(pages->page(1).bands.contains("Title")) << "the title prints on page 1 only";
    EXPECT_TRUE(pages->page(2).bands.contains("ColumnHeader"));

    r.group->setExpression(QString());
    r.group->setNewPage(false);
    auto one = r.render();
    ASSERT_EQ(one->pageCount(), 1);
    EXPECT_EQ(one->page(0).bands.count("GroupHeader"), 1);
    EXPECT_EQ(one->page(0).bands.count("GroupFooter"), 1);
    EXPECT_EQ(allTextsOf(*one, "GSumme"), QStringList({"10,00 €"}));
}

TEST(EngineBands, HookSuppressesBandSetsCaptionsAndHidesItems) {
    SampleReport r;
    r.data.setRows({row("A", "Anna", 10, 0), row("A", "Bert", 20, 0), row("A", "Carl", 40, 0)});
    ReportBand* detail = r.band(BandKind::Detail);
    detail->beforePrint = [&](ReportBand& band, bool& printIt) {
        const QString name = r.value("Name").toString();
        printIt = name != QLatin1String("Bert");
        band.item("Betrag")->setVisible(name != QLatin1String("Carl"));
    };
    r.band(BandKind::Summary)->beforePrint = [](ReportBand& band, bool&) {
        band.item("Gesamt")->setMask(QStringLiteral("-#,##0.00 €"));
    };
    auto pages = r.render();
    EXPECT_EQ(allTextsOf(*pages, "Name"), QStringList({"Anna", "Carl"}));
    EXPECT_EQ(allTextsOf(*pages, "Betrag"), QStringList({"10,00 €"})) << "hidden on Carl";
    EXPECT_EQ(pages->page(0).bands.count("Child"), 2) << "no child band after a suppressed band";
    EXPECT_EQ(allTextsOf(*pages, "Gesamt"), QStringList({"-50,00 €"}))
        << "a suppressed record adds nothing; a hidden item's record does";
    EXPECT_EQ(allTextsOf(*pages, "Anzahl"), QStringList({"Zeilen: 2"}));
}

TEST(EngineBands, EmptyDataPrintsFrameOrNothing) {
    SampleReport r;
    auto pages = r.render();
    ASSERT_EQ(pages->pageCount(), 1);
    EXPECT_EQ(pages->page(0).bands,
              QStringList({"PageHeader", "Title", "ColumnHeader", "Summary", "PageFooter"}));
    EXPECT_EQ(allTextsOf(*pages, "Gesamt"), QStringList({"0,00 €"}));

    r.options().printIfEmpty = false;
    auto none = r.render();
    EXPECT_EQ(none->pageCount(), 0);
    EXPECT_TRUE(none->isFinished()) << "the run ends normally with no pages";
}

TEST(EngineBands, PageBreaksNumberPagesAndKeepHeadersAndFooters) {
    SampleReport r;
    r.band(BandKind::Detail)->children().first()->setEnabled(false);
    QList<QVariantMap> rows;
    for (int i = 1; i <= 120; ++i)
        rows.append(row("A", QStringLiteral("Zeile %1").arg(i), 1, 0));
    r.data.setRows(rows);
    r.options().headerOnFirstPage = false;
    r.options().footerOnLastPage = false;
    auto pages = r.render();
    ASSERT_GE(pages->pageCount(), 3);
    const int last = pages->pageCount() - 1;
    EXPECT_FALSE(pages->page(0).bands.contains("PageHeader"));
    EXPECT_EQ(pages->page(1).textsOf("Seite"), QStringList({"Seite 2"}));
    EXPECT_TRUE(pages->page(0).bands.contains("PageFooter"));
    EXPECT_FALSE(pages->page(last).bands.contains("PageFooter"));
    EXPECT_EQ(pages->page(0).textsOf("Anzahl").size(), 1);
    // Every record printed exactly once, in order, and no band crosses the footer.
    QStringList names = allTextsOf(*pages, "Name");
    ASSERT_EQ(names.size(), 120);
    EXPECT_EQ(names.last(), QStringLiteral("Zeile 120"));
    for (int p = 0; p < pages->pageCount(); ++p) {
        double footerTop = 297;
        for (const PageElement& e : pages->page(p).elements)
            if (e.band == QLatin1String("PageFooter"))
                footerTop = std::min(footerTop, e.rect.top());
        for (const PageElement& e : pages->page(p).elements) {
            if (e.band != QLatin1String("PageFooter")) {
                EXPECT_LE(e.rect.bottom(), std::min(footerTop, 297.0 - 12 - 8) + 0.01)
                    << "page " << p + 1 << " " << e.text.toStdString();
            }
        }
    }
    // The detail count on page 1's footer counts the records printed so far.
    EXPECT_EQ(pages->page(0).textsOf("Anzahl").first(),
              QStringLiteral("Zeilen: %1").arg(pages->page(0).textsOf("Name").size()));
}

TEST(EngineBands, LongWrappedDetailMovesWholeToTheNextPage) {
    SampleReport r;
    r.band(BandKind::Detail)->children().first()->setEnabled(false);
    ReportBand* detail = r.band(BandKind::Detail);
    detail->item("Name")->setWordWrap(true);
    detail->addVLine("Trenner", 105, 0, 5);
    QList<QVariantMap> rows;
    for (int i = 1; i <= 40; ++i)
        rows.append(row("A", QStringLiteral("Kurz %1").arg(i), 1, 0));
    QString longText;
    for (int i = 0; i < 60; ++i)
        longText += QStringLiteral("Überführung von Hamburg nach München ");
    rows.append(row("A", longText.trimmed(), 1, 0));
    r.data.setRows(rows);
    auto pages = r.render();
    ASSERT_EQ(pages->pageCount(), 2);
    const QStringList first = pages->page(0).textsOf("Name");
    const QStringList second = pages->page(1).textsOf("Name");
    EXPECT_EQ(first.size(), 40) << "the short lines fill page 1";
    ASSERT_GT(second.size(), 10) << "the long text wraps into many lines, all on page 2";
    EXPECT_TRUE(second.first().startsWith(QStringLiteral("Überführung")));
    for (const QString& line : second)
        EXPECT_LE(line.size(), 60);
    // The separator follows the wrapped text's height.
    for (const PageElement& e : pages->page(1).elements) {
        if (e.item == QLatin1String("Trenner")) {
            EXPECT_GT(e.rect.height(), second.size() * 3.0);
        }
    }
}

TEST(EngineBands, ForcedNewPageAndTheRunOnceReport) {
    SampleReport r;
    r.band(BandKind::Detail)->setForceNewPage(true);
    r.data.setRows({row("A", "Anna", 1, 0), row("B", "Bert", 2, 0), row("C", "Carl", 3, 0)});
    auto pages = r.render();
    ASSERT_EQ(pages->pageCount(), 3);
    EXPECT_EQ(pages->page(0).textsOf("Name"), QStringList({"Anna"}));
    EXPECT_EQ(pages->page(2).textsOf("Name"), QStringList({"Carl"}));

    // Without a data set of its own the report runs once and its sub-details run theirs.
    SampleReport once;
    once.setDataSource(nullptr);
    once.addPositions();
    once.sub->beforeOpen = [&once] {
        once.positions.setRows(
            {{{"Text", "P1"}, {"Wert", 100.0}}, {{"Text", "P2"}, {"Wert", 19.0}}});
    };
    auto single = once.render();
    ASSERT_EQ(single->pageCount(), 1);
    EXPECT_EQ(single->page(0).bands.count("Detail"), 1);
    EXPECT_EQ(allTextsOf(*single, "PText"), QStringList({"P1", "P2"}));
    EXPECT_EQ(allTextsOf(*single, "PSumme"), QStringList({"119,00"}));
}

TEST(EngineBands, CancelStopsTheRun) {
    SampleReport r;
    QList<QVariantMap> rows;
    for (int i = 0; i < 500; ++i)
        rows.append(row("A", QStringLiteral("Z%1").arg(i), 1, 0));
    r.data.setRows(rows);
    ReportPages pages;
    QObject::connect(&pages, &ReportPages::pageAdded, &pages, [&pages](int count) {
        if (count == 2)
            pages.requestCancel();
    });
    r.render(pages);
    EXPECT_EQ(pages.pageCount(), 3) << "the page in progress is closed, then the run stops";
    EXPECT_FALSE(pages.isFinished());
}

TEST(EngineBands, ExceptionInAHookEndsTheRun) {
    SampleReport r;
    r.data.setRows({row("A", "Anna", 1, 0)});
    r.band(BandKind::Detail)->beforePrint = [](ReportBand&, bool&) {
        throw std::runtime_error("kaputt");
    };
    ReportPages pages;
    EXPECT_THROW(r.render(pages), std::runtime_error);
    EXPECT_FALSE(pages.isFinished());
}

TEST(EngineBands, FramesLinesImagesAndMultiLineLabels) {
    Report r;
    auto* d = r.addBand(BandKind::Detail, "Detail", 10);
    d->addLabel("Adresse", {100, 0, 60, 5}, QStringLiteral("Zeile 1\r\nZeile 2\nZeile 3"))
        .setFrame(ReportFrame::all(1));
    d->addRect("Rahmen", {0, 0, 50, 8});
    d->addDoubleLine("Doppel", 0, 9, 40);
    QImage logo(200, 100, QImage::Format_RGB32);
    logo.fill(Qt::gray);
    d->addImage("Logo", {60, 0, 30, 30}, logo);
    d->addLabel("Weg", {0, 0, 10, 5}, "unsichtbar").setVisible(false);
    auto pages = r.render();
    ASSERT_EQ(pages->pageCount(), 1);
    const ReportPage& page = pages->page(0);
    EXPECT_EQ(page.textsOf("Adresse"), QStringList({"Zeile 1", "Zeile 2", "Zeile 3"}));
    EXPECT_TRUE(page.textsOf("Weg").isEmpty());
    int frameLines = 0, doubleLines = 0;
    for (const PageElement& e : page.elements) {
        if (e.item == QLatin1String("Adresse") && e.type == PageElement::Type::Line) {
            ++frameLines;
            EXPECT_GT(std::max(e.rect.height(), e.rect.width()), 10.0)
                << "the frame encloses all three lines";
        }
        if (e.item == QLatin1String("Doppel"))
            ++doubleLines;
        if (e.item == QLatin1String("Logo")) {
            EXPECT_EQ(e.type, PageElement::Type::Image);
            EXPECT_DOUBLE_EQ(e.rect.width(), 30);
            EXPECT_DOUBLE_EQ(e.rect.height(), 15) << "the picture keeps its proportions";
            EXPECT_DOUBLE_EQ(e.rect.left(), 20 + 60) << "x counts from the left margin";
        }
    }
    EXPECT_EQ(frameLines, 4);
    EXPECT_EQ(doubleLines, 2);
    // Painting shows the page: something dark where the rectangle's edge is.
    const QImage img = pages->pageImage(0, 100);
    const double px = 100 / 25.4;
    EXPECT_LT(qGray(img.pixel(int((20 + 25) * px), int(12 * px))), 128);
    EXPECT_EQ(qGray(img.pixel(int(200 * px), int(280 * px))), 255);
}

TEST(EngineBands, GroupHeaderReprintedOnNewPageAndOversizedBandDoesNotHang) {
    SampleReport r;
    r.band(BandKind::Detail)->children().first()->setEnabled(false);
    r.group->setReprintOnNewPage(true);
    QList<QVariantMap> rows;
    for (int i = 1; i <= 70; ++i)
        rows.append(row(i <= 60 ? "A" : "B", QStringLiteral("Zeile %1").arg(i), 1, 0));
    r.data.setRows(rows);
    auto pages = r.render();
    ASSERT_EQ(pages->pageCount(), 2);
    EXPECT_EQ(pages->page(0).textsOf("GName"), QStringList({"A"}));
    EXPECT_EQ(pages->page(1).textsOf("GName"), QStringList({"A", "B"}))
        << "group A continues on page 2 under its header, then B begins";
    EXPECT_EQ(pages->page(1).bands.mid(0, 3),
              QStringList({"PageHeader", "ColumnHeader", "GroupHeader"}));

    // A band taller than a whole page starts on a new page and goes on over the next
    // ones: no line is lost or printed over the page footer.
    SampleReport big;
    big.band(BandKind::Detail)->item("Name")->setWordWrap(true);
    big.band(BandKind::Detail)->addVLine("Trenner", 105, 0, 5);
    QString huge;
    for (int i = 0; i < 1200; ++i)
        huge += QStringLiteral("Wort%1 ").arg(i);
    big.data.setRows({row("A", "kurz", 1, 0), row("A", huge, 1, 0), row("A", "danach", 1, 0)});
    auto bigPages = big.render();
    ASSERT_GE(bigPages->pageCount(), 4) << "the long text needs more than one page";
    EXPECT_EQ(bigPages->page(0).textsOf("Name"), QStringList({"kurz"}));
    QStringList words;
    for (int p = 1; p < bigPages->pageCount(); ++p) {
        for (const PageElement& e : bigPages->page(p).elements) {
            if (e.band == QLatin1String("Details") || e.band == QLatin1String("GroupHeader")) {
                EXPECT_LE(e.rect.bottom(), 297 - 12 - 8 + 0.01) << "page " << p + 1;
            }
            if (e.item == QLatin1String("Name") && e.text != QLatin1String("danach"))
                words += e.text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        }
    }
    ASSERT_EQ(words.size(), 1200);
    EXPECT_EQ(words.first(), QStringLiteral("Wort0"));
    EXPECT_EQ(words.last(), QStringLiteral("Wort1199"));
    EXPECT_TRUE(bigPages->page(bigPages->pageCount() - 1).textsOf("Name").contains("danach"));
    EXPECT_EQ(allTextsOf(*bigPages, "Gesamt"), QStringList({"3,00 €"}));
}

TEST(EngineBands, GroupHeaderNeverEndsAPage) {
    // Wherever the second group begins, its heading goes to the page of its first record.
    for (int first = 38; first <= 48; ++first) {
        SCOPED_TRACE(first);
        SampleReport r;
        r.band(BandKind::Detail)->children().first()->setEnabled(false);
        QList<QVariantMap> rows;
        for (int i = 1; i <= first + 3; ++i)
            rows.append(row(i <= first ? "A" : "B", QStringLiteral("Zeile %1").arg(i), 1, 0));
        r.data.setRows(rows);
        auto pages = r.render();
        for (int p = 0; p < pages->pageCount(); ++p) {
            QStringList body = pages->page(p).bands;
            body.removeAll(QStringLiteral("PageFooter"));
            EXPECT_NE(body.last(), QStringLiteral("GroupHeader")) << "page " << p + 1;
        }
        EXPECT_EQ(allTextsOf(*pages, "Name").size(), first + 3);
    }
}
