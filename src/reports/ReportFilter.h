#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace kilvaro {

class TDaten_A;
class UserSettings;

/// What a report or evaluation covers: the period (a month, a year, any range or all
/// data), the funeral director and the titles offered for the report. The report data
/// filter dialog is a thin window over one instance that lives for the whole run and keeps
/// its state from one use to the next.
///
/// Results for the callers: Zeittext (the period as heading text), Datumfilter (the period
/// as a condition on the trip date column DATUM in the old SQL dialect) and BestatterIDs
/// (address IDs parallel to bestatterNames()).
class ReportFilter {
public:
    /// The period modes in the order of the dialog's radio buttons.
    enum class Mode { Monat = 0, Jahr = 1, Beliebig = 2, AlleDaten = 3 };

    /// The range of the year arrows and of the years a report may be asked for.
    static constexpr int FirstYear = 1980;
    static constexpr int LastYear = 2128;
    /// The range of "alle Daten".
    static QDate allDataFirst() { return QDate(1980, 1, 1); }
    static QDate allDataLast() { return QDate(2222, 12, 31); }

    /// `daten` supplies the shared address and tariff tables (closed tables give empty
    /// lists); `settings` stores the chosen funeral director per user. Both may be null.
    ReportFilter(TDaten_A* daten, UserSettings* settings);

    /// Filling at start-up: month and year of `today`, the active addresses in name order,
    /// the funeral director stored last time (the first entry on first use) and its titles.
    /// May throw DbError from the shared tables; the period is set in any case.
    void fill(const QDate& today);

    // --- period ------------------------------------------------------------------------
    Mode mode() const { return m_mode; }
    /// Switches the mode: "Monat" and "Jahr" compute the dates, "alle Daten" sets the whole
    /// range, "beliebig" leaves the dates for free entry.
    void setMode(Mode mode);

    /// Position in the month list (0 = Januar); -1 = none selected.
    int monthIndex() const { return m_monthIndex; }
    void setMonthIndex(int index);
    /// The month the period uses: no selection or a position outside the list gives 1.
    int month() const;

    QString yearText() const { return m_yearText; }
    /// Takes the year as typed and computes the period; false when it is no valid year (the
    /// dates then stay as they were).
    bool setYearText(const QString& text);
    /// The year typed, if it is a whole number from FirstYear to LastYear.
    std::optional<int> year() const;

    QDate von() const { return m_von; }
    QDate bis() const { return m_bis; }
    /// Free entry of the dates; taken only in mode "beliebig" and for valid dates.
    void setVon(const QDate& date);
    void setBis(const QDate& date);

    bool monthEditable() const { return m_mode == Mode::Monat; }
    bool yearEditable() const { return m_mode == Mode::Monat || m_mode == Mode::Jahr; }
    bool datesEditable() const { return m_mode == Mode::Beliebig; }

    /// Recomputes the dates in the modes "Monat" and "Jahr" (also rewriting February in the
    /// shared month table); the other modes leave them. False, with the dates unchanged,
    /// when the year text is not a valid year.
    bool computePeriod();

    /// Why the current choice cannot be printed, as a German message; empty when it can.
    /// Checked before the dialog closes for preview or print.
    QString inputError() const;

    // --- results -----------------------------------------------------------------------
    /// Computes Zeittext and Datumfilter from the mode and the dates (on every close).
    void computeResults();
    QString Zeittext;
    QString Datumfilter;

    // --- funeral directors -------------------------------------------------------------
    /// Names of the active addresses in name order, as the dialog lists them.
    const QStringList& bestatterNames() const { return m_names; }
    /// Address IDs in the order of bestatterNames().
    QList<int> BestatterIDs;
    /// Position of the chosen entry; -1 when the list is empty.
    int bestatterIndex() const { return m_bestatterIndex; }
    /// Chooses an entry (a position outside the list chooses none), stores the position per
    /// user and fills titleList() with the places of its tariff. May throw DbError.
    void setBestatterIndex(int index);
    /// The address ID of the chosen entry; nullopt when none is chosen.
    std::optional<int> chosenBestatterId() const;

    /// The places of the chosen funeral director's place tariff, offered as report titles.
    const QStringList& titleList() const { return m_titles; }

    /// Name of the stored per-user value.
    static QString settingsKey() { return QStringLiteral("Bestatterbox"); }

private:
    void readAddresses();
    void fillTitles();

    TDaten_A* m_daten;
    UserSettings* m_settings;
    Mode m_mode = Mode::Monat;
    int m_monthIndex = 0;
    QString m_yearText = QStringLiteral("1980");
    QDate m_von;
    QDate m_bis;
    QStringList m_names;
    int m_bestatterIndex = -1;
    QStringList m_titles;
};

} // namespace kilvaro
