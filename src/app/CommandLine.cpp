#include "app/CommandLine.h"

namespace kilvaro {

CommandLine CommandLine::parse(const QStringList& args) {
    CommandLine c;
    auto setCommand = [&c](Command cmd, const QString& name) {
        if (c.command != Command::Gui && c.command != cmd)
            c.error = QStringLiteral("Die Option %1 kann nicht mit einer anderen Stapelverarbeitung "
                                     "kombiniert werden.")
                          .arg(name);
        c.command = cmd;
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--home")) {
            if (i + 1 >= args.size()) {
                c.error = QStringLiteral("Nach --home fehlt der Programmordner.");
                break;
            }
            c.home = args.at(++i);
        } else if (a.startsWith(QLatin1String("--home="))) {
            c.home = a.mid(7);
        } else if (a == QLatin1String("--sql")) {
            if (i + 1 >= args.size()) {
                c.error = QStringLiteral("Nach --sql fehlt der SQL-Text.");
                break;
            }
            setCommand(Command::Sql, a);
            c.sql = args.at(++i);
        } else if (c.parsePeriodOption(args, i)) {
            if (!c.error.isEmpty())
                break;
        } else if (c.parseReportOption(args, i)) {
            if (!c.error.isEmpty())
                break;
        } else if (c.parseInvoiceListOption(args, i)) {
            if (!c.error.isEmpty())
                break;
        } else if (parseInvoiceOption(args, i, c)) {
            if (!c.error.isEmpty())
                break;
        } else if (a == QLatin1String("--monthly-run")) {
            if (i + 1 >= args.size()) {
                c.error = QStringLiteral("Nach --monthly-run fehlt der Monat (JJJJ-MM).");
                break;
            }
            setCommand(Command::MonthlyRun, a);
            c.monthlyRun = args.at(++i);
        } else if (a == QLatin1String("--demo")) {
            setCommand(Command::Demo, a);
        } else if (a == QLatin1String("--version") || a == QLatin1String("-v")) {
            setCommand(Command::Version, a);
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            setCommand(Command::Help, a);
        } else if (a.startsWith(QLatin1String("--"))) {
            c.error = QStringLiteral("Unbekannte Option: %1").arg(a);
            break;
        } else {
            // Everything else belongs to the window (the old "/800" and friends).
            c.guiArguments << a;
        }
    }
    if (c.error.isEmpty() && !c.pdf.isEmpty() && c.command == Command::Gui)
        c.error =
            QStringLiteral("--pdf gibt es nur zusammen mit --invoice, --invoices, --report oder "
                           "--invoice-list.");
    if (c.error.isEmpty())
        c.checkOutputOptions();
    if (c.error.isEmpty())
        c.checkPeriodOptions();
    if (c.command == Command::InvoiceList) {
        // The period options are shared by the reports, the exports and the invoice list.
        c.invoiceList.from = c.from;
        c.invoiceList.to = c.to;
        c.invoiceList.bestatter = c.bestatter;
    }
    return c;
}

bool CommandLine::parseInvoiceOption(const QStringList& args, int& i, CommandLine& c) {
    const QString& a = args.at(i);
    const bool single = a == QLatin1String("--invoice");
    const bool range = a == QLatin1String("--invoices");
    if (!single && !range && a != QLatin1String("--pdf"))
        return false;
    if (i + 1 >= args.size()) {
        c.error = a == QLatin1String("--pdf")
                      ? QStringLiteral("Nach --pdf fehlt der Name der PDF-Datei.")
                  : single ? QStringLiteral("Nach --invoice fehlt die Rechnungsnummer.")
                           : QStringLiteral("Nach --invoices fehlt der Bereich (VON-BIS).");
        return true;
    }
    if (a == QLatin1String("--pdf")) {
        c.pdf = args.at(++i);
        return true;
    }
    if (c.command == Command::InvoicePdf) {
        c.error = QStringLiteral("--invoice und --invoices können nur einmal angegeben werden.");
        return true;
    }
    if (c.command != Command::Gui) {
        c.error = QStringLiteral("Die Option %1 kann nicht mit einer anderen Stapelverarbeitung "
                                 "kombiniert werden.")
                      .arg(a);
        return true;
    }
    c.command = Command::InvoicePdf;
    c.invoiceRange = range;
    c.invoices = args.at(++i);
    return true;
}

bool CommandLine::parseReportOption(const QStringList& args, int& i) {
    const QString& a = args.at(i);
    QString* target = nullptr;
    QString missing;
    if (a == QLatin1String("--report")) {
        target = &report;
        missing = QStringLiteral("Nach --report fehlt der Name des Berichts.");
    } else if (a == QLatin1String("--title")) {
        target = &title;
        missing = QStringLiteral("Nach --title fehlt der Titel.");
    } else {
        return false;
    }
    if (i + 1 >= args.size()) {
        error = missing;
        return true;
    }
    if (a == QLatin1String("--report")) {
        if (command != Command::Gui && command != Command::Report)
            error = QStringLiteral("Die Option --report kann nicht mit einer anderen "
                                   "Stapelverarbeitung kombiniert werden.");
        command = Command::Report;
    }
    if (a == QLatin1String("--title"))
        titleGiven = true;
    *target = args.at(++i);
    return true;
}

bool CommandLine::parseInvoiceListOption(const QStringList& args, int& i) {
    const QString& a = args.at(i);
    if (a == QLatin1String("--gruppiert")) {
        invoiceList.grouped = true;
        m_listOptions << a;
        return true;
    }
    if (a == QLatin1String("--seite-pro-bestatter")) {
        invoiceList.pagePerDirector = true;
        m_listOptions << a;
        return true;
    }
    QString* target = nullptr;
    QString missing;
    if (a == QLatin1String("--invoice-list")) {
        target = &invoiceList.kind;
        missing = QStringLiteral("Nach --invoice-list fehlt die Liste (alle, bezahlte, "
                                 "unbezahlte oder ausgeblendete).");
    } else {
        return false;
    }
    if (i + 1 >= args.size()) {
        error = missing;
        return true;
    }
    if (a == QLatin1String("--invoice-list")) {
        if (command != Command::Gui && command != Command::InvoiceList)
            error = QStringLiteral("Die Option --invoice-list kann nicht mit einer anderen "
                                   "Stapelverarbeitung kombiniert werden.");
        command = Command::InvoiceList;
    } else {
        m_listOptions << a;
    }
    *target = args.at(++i);
    return true;
}

void CommandLine::checkOutputOptions() {
    if (titleGiven && command != Command::Report)
        error = QStringLiteral("Die Option --title gehört zu --report.");
    else if (!m_listOptions.isEmpty() && command != Command::InvoiceList)
        error = QStringLiteral("Die Option %1 gehört zu --invoice-list.")
                    .arg(m_listOptions.constFirst());
}

bool CommandLine::parsePeriodOption(const QStringList& args, int& i) {
    const QString& a = args.at(i);
    QString* target = nullptr;
    if (a == QLatin1String("--export"))
        target = &exportName;
    else if (a == QLatin1String("--from"))
        target = &from;
    else if (a == QLatin1String("--to"))
        target = &to;
    else if (a == QLatin1String("--bestatter"))
        target = &bestatter;
    else if (a == QLatin1String("--out"))
        target = &out;
    else
        return false;
    if (i + 1 >= args.size()) {
        error = a == QLatin1String("--export") ? QStringLiteral("Nach --export fehlt der Name des Exports.")
                : a == QLatin1String("--out")  ? QStringLiteral("Nach --out fehlt der Zielordner.")
                : a == QLatin1String("--bestatter")
                    ? QStringLiteral("Nach --bestatter fehlt die Adressnummer.")
                    : QStringLiteral("Nach %1 fehlt das Datum (TT.MM.JJJJ).").arg(a);
        return true;
    }
    if (a == QLatin1String("--export")) {
        if (command != Command::Gui && command != Command::Export) {
            error = QStringLiteral("Die Option --export kann nicht mit einer anderen "
                                   "Stapelverarbeitung kombiniert werden.");
            return true;
        }
        command = Command::Export;
    }
    *target = args.at(++i);
    return true;
}

void CommandLine::checkPeriodOptions() {
    const bool period = !from.isEmpty() || !to.isEmpty() || !bestatter.isEmpty();
    if (period && command != Command::Report && command != Command::Export &&
        command != Command::InvoiceList)
        error = QStringLiteral("Die Optionen --from, --to und --bestatter gehören zu --report, "
                               "--export oder --invoice-list.");
    else if (!out.isEmpty() && command != Command::Export)
        error = QStringLiteral("Die Option --out gehört zu --export.");
    else if (command == Command::Export && !pdf.isEmpty())
        error = QStringLiteral("--export schreibt CSV-Dateien: statt --pdf bitte --out ORDNER "
                               "angeben.");
}

QString CommandLine::usage() {
    return QStringLiteral(
        "Aufruf: kilvaro [--home ORDNER] [/800]\n"
        "        kilvaro [--home ORDNER] --sql \"TEXT\"\n"
        "        kilvaro [--home ORDNER] --demo\n"
        "        kilvaro [--home ORDNER] --invoice NR --pdf DATEI\n"
        "        kilvaro [--home ORDNER] --invoices VON-BIS --pdf DATEI\n"
        "        kilvaro [--home ORDNER] --report tarife|ortsliste|preisliste [--title TEXT]\n"
        "                --pdf DATEI\n"
        "        kilvaro [--home ORDNER] --invoice-list alle|bezahlte|unbezahlte|ausgeblendete\n"
        "                --from TT.MM.JJJJ --to TT.MM.JJJJ [--bestatter NR] [--gruppiert]\n"
        "                [--seite-pro-bestatter] --pdf DATEI\n"
        "        kilvaro [--home ORDNER] --report fahrten|offene-fahrten|fahrtenliste|\n"
        "                ueberfuehrungen-personen|ueberfuehrungen-aktenzeichen|\n"
        "                ueberfuehrungen-datum --from TT.MM.JJJJ --to TT.MM.JJJJ\n"
        "                [--bestatter ID] [--title TEXT] --pdf DATEI\n"
        "        kilvaro [--home ORDNER] --export ueberfuehrungen|plz-statistik\n"
        "                --from TT.MM.JJJJ --to TT.MM.JJJJ --bestatter ID --out ORDNER\n"
        "        kilvaro [--home ORDNER] --monthly-run JJJJ-MM\n"
        "        kilvaro --version\n"
        "\n"
        "  --home ORDNER  Programmordner mit kilvaro.ini (sonst KILVARO_HOME oder der Ordner\n"
        "                 des Programms); fehlt kilvaro.ini, wird er beim Start eingerichtet\n"
        "  /800           Hauptfenster in 800 x 600 öffnen\n"
        "  --sql \"TEXT\"   eine SQL-Anweisung ausführen und die Zeilen ausgeben (Felder mit ;)\n"
        "  --demo         eine leere Datenbank mit Demonstrationsdaten füllen\n"
        "  --invoice NR --pdf DATEI\n"
        "                 die Rechnung NR als PDF-Datei schreiben\n"
        "  --invoices VON-BIS --pdf DATEI\n"
        "                 die Rechnungen VON bis BIS in eine PDF-Datei schreiben\n"
        "  --invoice-list LISTE\n"
        "                 die Rechnungsliste (alle, bezahlte, unbezahlte, ausgeblendete) des\n"
        "                 Zeitraums --from bis --to als PDF in die Datei von --pdf schreiben;\n"
        "                 --bestatter NR nur für diesen Bestatter, --gruppiert mit\n"
        "                 Zwischensummen je Bestatter, --seite-pro-bestatter zusätzlich eine\n"
        "                 Seite je Bestatter\n"
        "  --report NAME  einen Bericht ohne Fenster als PDF in die Datei von --pdf schreiben;\n"
        "                 --title setzt den Berichttitel. Fahrtenberichte und Auswertungen\n"
        "                 der Überführungen brauchen den Zeitraum --from/--to; --bestatter\n"
        "                 ID (Adressnummer) wählt den Bestatter (bei den Auswertungen nötig,\n"
        "                 sonst alle Bestatter)\n"
        "  --export NAME  Überführungen (Ueberfuehrungen.csv) oder PLZ-Statistik\n"
        "                 (PLZ-Statistik.csv, PLZ-Fehler.csv) eines Bestatters im Zeitraum\n"
        "                 in den Ordner von --out schreiben\n"
        "  --monthly-run JJJJ-MM\n"
        "                 die Monatsrechnungen des Monats erstellen (wie im Fenster\n"
        "                 Monatsrechnungen) und eine Zusammenfassung ausgeben\n"
        "  --version      Programmversion ausgeben\n");
}

} // namespace kilvaro
