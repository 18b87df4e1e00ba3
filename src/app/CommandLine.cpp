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
    return c;
}

QString CommandLine::usage() {
    return QStringLiteral(
        "Aufruf: kilvaro [--home ORDNER] [/800]\n"
        "        kilvaro [--home ORDNER] --sql \"TEXT\"\n"
        "        kilvaro [--home ORDNER] --demo\n"
        "        kilvaro --version\n"
        "\n"
        "  --home ORDNER  Programmordner mit kilvaro.ini (sonst KILVARO_HOME oder der Ordner\n"
        "                 des Programms); fehlt kilvaro.ini, wird er beim Start eingerichtet\n"
        "  /800           Hauptfenster in 800 x 600 öffnen\n"
        "  --sql \"TEXT\"   eine SQL-Anweisung ausführen und die Zeilen ausgeben (Felder mit ;)\n"
        "  --demo         eine leere Datenbank mit Demonstrationsdaten füllen\n"
        "  --version      Programmversion ausgeben\n");
}

} // namespace kilvaro
