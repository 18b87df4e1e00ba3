#pragma once

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

class QSettings;

namespace kilvaro {

/// Per-user values: the registry on Windows (HKEY_CURRENT_USER\Software\korvat\kilv and
/// …\report), ~/.config/korvat/kilv.conf and report.conf on Linux.
class UserSettings {
public:
    enum class App {
        Kilv,  ///< "kilv": Progmax, Bestatterbox, Exportziel
        Report ///< "report": PrinterIndex
    };

    /// The real per-user store (organisation "korvat", native format).
    UserSettings();
    /// A store of its own in the given folder (files "kilv.ini", "report.ini"), so tests
    /// never touch the real user's settings.
    explicit UserSettings(const QString& folder);
    ~UserSettings();
    UserSettings(const UserSettings&) = delete;
    UserSettings& operator=(const UserSettings&) = delete;

    /// Whether the main window was maximised when the program last ended; nullopt before
    /// the first end of the program.
    std::optional<bool> progmax() const;
    /// Stored as a 32-bit integer 0 or 1, as the old program did.
    void setProgmax(bool maximised);

    bool contains(App app, const QString& key) const;
    /// nullopt when the value does not exist.
    std::optional<QVariant> value(App app, const QString& key) const;
    /// nullopt when the value does not exist or is no integer.
    std::optional<int> intValue(App app, const QString& key) const;
    /// nullopt when the value does not exist.
    std::optional<QString> stringValue(App app, const QString& key) const;
    /// Writes at once, so another instance of the program sees the value.
    void setValue(App app, const QString& key, const QVariant& value);

private:
    QSettings& settings(App app) const;

    std::unique_ptr<QSettings> m_kilv;
    std::unique_ptr<QSettings> m_report;
};

} // namespace kilvaro
