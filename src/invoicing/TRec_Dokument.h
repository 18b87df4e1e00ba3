#pragma once

#include "reports/QueryRecordSource.h"
#include "reports/Report.h"
#include "reports/RowRecordSource.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace kilvaro {

class TDaten_R;

/// The printed invoice: a one-invoice report on a portrait A4 page laid out as a German
/// business letter (DIN 5008 form B: address window 20 mm from the left and 45 mm from the
/// top edge, 85 × 45 mm, with the sender's return line; fold marks at 105 and 210 mm, hole
/// mark at 148.5 mm).
///
/// Bands: letterhead `BriefKopf` (every page), the address sub-report `adressdetails` with
/// the heading, its closing band `Kopf` with the cover text, one line per position
/// (`fahrtdetails`), the totals `Zusammenfassung`, and the footer `Fuss` (every page).
///
/// Files in the program folder:
/// - read when the document is created, required: "firma.txt" (line 1 company name, line 2
///   the one-line sender address above the address window), "Rk.txt" (contact block right
///   of the address), "Rfl.txt" and "Rfr.txt" (left and right footer blocks). A missing one
///   throws DbError with a German message.
/// - optional, replacing the built-in neutral defaults: "jahre.txt" (its first line is the
///   line under the company name) and "logo1.png", "logo2.png", "logo3.png" (the three
///   pictures of the letterhead; any format Qt reads, scaled into 11 × 11 mm).
///
/// Usage: create, RechnungVorbereiten(number, position Id or -1), render/preview/print, and
/// prepare again for the next invoice if needed; the destructor (FormClose) gives the
/// invoice table back its filter and moves it to the last prepared invoice.
class TRec_Dokument : public Report {
public:
    /// Reads the text files of `programFolder` (with a trailing '/'). Throws DbError.
    TRec_Dokument(TDaten_R* daten, const QString& programFolder);
    ~TRec_Dokument() override;

    /// Prepares the document for invoice `recNr` with all positions (`posId` -1) or the one
    /// position with that Id. Number 0 gives the blank form (letterhead, heading "Rechnung",
    /// no positions, no totals); a number without invoice a page with letterhead and footer.
    void RechnungVorbereiten(int recNr, int posId);
    /// Gives Rectab back the filter it had before the first preparation and moves it to the
    /// invoice last prepared. Runs once; the destructor calls it.
    void FormClose();

    /// Renders the prepared invoice and appends its pages to `target` (several invoices in
    /// one PDF file). Throws DbError when a rule fails.
    void appendPagesTo(ReportPages& target);

    /// The blank form of the main menu: the cover text is not printed.
    void hideCoverText();

    /// The number last prepared (-1 before the first preparation).
    int invoiceNumber() const { return m_recNr; }
    /// The position Id last prepared (-1: all positions).
    int positionId() const { return m_posId; }

    /// The copies of every later run, once an invoice print selection exists (it installs
    /// the function of its "Kopien" control); empty: the report's own setting applies.
    static void setCopiesProvider(std::function<int()> provider);

    /// Files of the program folder the document reads.
    static constexpr const char* CompanyFile = "firma.txt";
    static constexpr const char* ContactFile = "Rk.txt";
    static constexpr const char* FooterLeftFile = "Rfl.txt";
    static constexpr const char* FooterRightFile = "Rfr.txt";
    static constexpr const char* YearsFile = "jahre.txt";
    /// "logo1.png" … "logo3.png" (index 0 to 2).
    static QString logoFileName(int index);
    /// The built-in line under the company name.
    static QString defaultYearsLine();

protected:
    /// BerichtBeforePrint: copies from the current invoice print selection, if any.
    void beforePrint() override;

private:
    void buildLetterhead(const QStringList& company);
    void buildAddress(const QStringList& contact);
    void buildPositions();
    void buildFooter(const QStringList& left, const QStringList& right);

    void AdressdetailsBeforePrint(ReportBand& band, bool& printIt);
    void KopfBeforePrint(ReportBand& band, bool& printIt);
    void fahrtdetailsBeforePrint(ReportBand& band, bool& printIt);
    void ZusammenfassungBeforePrint(ReportBand& band, bool& printIt);
    void fillAddress();

    /// A value of the prepared invoice (null when it does not exist).
    QVariant invoiceValue(const QString& field) const;
    int invoiceRecNr() const;
    bool invoiceFlag(const QString& field) const;

    QImage logo(int index) const;

    TDaten_R* m_daten;
    QString m_folder;
    int m_recNr = -1;
    int m_posId = -1;
    bool m_prepared = false;
    bool m_closed = false;
    QString m_savedFilter;
    bool m_savedFiltered = false;
    /// Empty until the first position line is formatted, then "€".
    QString m_currency;
    RowRecordSource m_address;
    QueryRecordSource m_positions;
};

} // namespace kilvaro
