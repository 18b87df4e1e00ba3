#include "base/UserSettings.h"

#include <QDir>
#include <QSettings>

namespace kilvaro {

namespace {
const QString kOrganisation = QStringLiteral("korvat");
const QString kProgmax = QStringLiteral("Progmax");
} // namespace

UserSettings::UserSettings()
    : m_kilv(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                         kOrganisation, QStringLiteral("kilv"))),
      m_report(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                           kOrganisation, QStringLiteral("report"))) {}

UserSettings::UserSettings(const QString& folder)
    : m_kilv(std::make_unique<QSettings>(QDir(folder).filePath(QStringLiteral("kilv.ini")),
                                         QSettings::IniFormat)),
      m_report(std::make_unique<QSettings>(QDir(folder).filePath(QStringLiteral("report.ini")),
                                           QSettings::IniFormat)) {}

UserSettings::~UserSettings() = default;

QSettings& UserSettings::settings(App app) const {
    return app == App::Kilv ? *m_kilv : *m_report;
}

std::optional<bool> UserSettings::progmax() const {
    const std::optional<QVariant> v = value(App::Kilv, kProgmax);
    if (!v)
        return std::nullopt;
    // An integer 0/1 (as written) or a text "true"/"false" from an edited file.
    return v->toBool();
}

void UserSettings::setProgmax(bool maximised) {
    setValue(App::Kilv, kProgmax, maximised ? 1 : 0);
}

bool UserSettings::contains(App app, const QString& key) const {
    return settings(app).contains(key);
}

std::optional<QVariant> UserSettings::value(App app, const QString& key) const {
    QSettings& s = settings(app);
    if (!s.contains(key))
        return std::nullopt;
    return s.value(key);
}

std::optional<int> UserSettings::intValue(App app, const QString& key) const {
    const std::optional<QVariant> v = value(app, key);
    if (!v)
        return std::nullopt;
    bool ok = false;
    const int i = v->toInt(&ok);
    if (!ok)
        return std::nullopt;
    return i;
}

std::optional<QString> UserSettings::stringValue(App app, const QString& key) const {
    const std::optional<QVariant> v = value(app, key);
    if (!v)
        return std::nullopt;
    return v->toString();
}

void UserSettings::setValue(App app, const QString& key, const QVariant& value) {
    QSettings& s = settings(app);
    // Every start stores the report filter's choice again: an unchanged simple value is not
    // written, so a start does not rewrite (and wait for) the settings file.
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Bool:
    case QMetaType::QString:
        if (s.contains(key) && s.value(key).toString() == value.toString())
            return;
        break;
    default:
        break;
    }
    s.setValue(key, value);
    s.sync();
}

} // namespace kilvaro
