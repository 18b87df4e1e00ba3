#include "data/StoredValue.h"

#include "base/GermanInput.h"
#include "base/DbError.h"

#include <QRegularExpression>

#include <cmath>

namespace kilvaro::stored {

QDate timeBaseDate() { return QDate(1899, 12, 30); }

QString dateTimeText(const QDateTime& value) {
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString dateText(const QDate& value) {
    return value.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00");
}

QDateTime parseDateTime(const QString& input) {
    const QString text = input.trimmed();
    if (text.isEmpty())
        return {};
    static const QRegularExpression iso(
        QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[ T](\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.\\d+)?)?)?$"));
    static const QRegularExpression german(
        QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})(?:\\s+(\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?$"));
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    auto m = iso.match(text);
    if (m.hasMatch()) {
        y = m.captured(1).toInt();
        mo = m.captured(2).toInt();
        d = m.captured(3).toInt();
    } else {
        m = german.match(text);
        if (!m.hasMatch())
            return {};
        d = m.captured(1).toInt();
        mo = m.captured(2).toInt();
        y = m.captured(3).toInt();
    }
    h = m.captured(4).toInt();
    mi = m.captured(5).toInt();
    s = m.captured(6).toInt();
    const QDate date(y, mo, d);
    const QTime time(h, mi, s);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

static QDateTime toDateTime(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime();
    case QMetaType::QDate:
        return QDateTime(value.toDate(), QTime(0, 0));
    case QMetaType::QTime:
        return QDateTime(timeBaseDate(), value.toTime());
    default:
        return parseDateTime(value.toString());
    }
}

QVariant toDb(const QVariant& value, ColumnType type) {
    if (value.isNull() || !value.isValid())
        return type == ColumnType::Boolean ? QVariant(0) : QVariant();
    if (value.typeId() == QMetaType::QString && value.toString().isEmpty())
        return type == ColumnType::Boolean ? QVariant(0) : QVariant();
    bool ok = true;
    switch (type) {
    case ColumnType::DateTime: {
        const QDateTime dt = toDateTime(value);
        if (!dt.isValid())
            throw DbError(QStringLiteral("'%1' ist kein gültiges Datum.").arg(value.toString()));
        return dateTimeText(dt);
    }
    case ColumnType::Boolean:
        if (value.typeId() == QMetaType::QString) {
            const QString t = value.toString().trimmed().toLower();
            if (t == QLatin1String("true") || t == QLatin1String("ja") || t == QLatin1String("1"))
                return 1;
            if (t == QLatin1String("false") || t == QLatin1String("nein") || t == QLatin1String("0"))
                return 0;
            throw DbError(QStringLiteral("'%1' ist kein gültiger Wahrheitswert.").arg(value.toString()));
        }
        return value.toBool() ? 1 : 0;
    case ColumnType::Integer:
    case ColumnType::SmallInt:
    case ColumnType::AutoInc: {
        qlonglong v = 0;
        if (value.typeId() == QMetaType::QString) {
            v = value.toString().trimmed().toLongLong(&ok);
        } else if (value.typeId() == QMetaType::Double) {
            v = qRound64(value.toDouble());
        } else {
            v = value.toLongLong(&ok);
        }
        if (!ok)
            throw DbError(QStringLiteral("'%1' ist kein gültiger ganzzahliger Wert.").arg(value.toString()));
        if (type == ColumnType::SmallInt && (v < -32768 || v > 32767))
            throw DbError(QStringLiteral("Der Wert %1 liegt außerhalb des Bereichs von -32768 bis 32767.").arg(v));
        if (type != ColumnType::SmallInt && (v < INT32_MIN || v > INT32_MAX))
            throw DbError(QStringLiteral("Der Wert %1 ist zu groß für eine ganze Zahl.").arg(v));
        return v;
    }
    case ColumnType::Float:
    case ColumnType::Currency: {
        double v = 0;
        if (value.typeId() == QMetaType::QString) {
            // Texts are read as typed amounts, the German way, by the one reader of them.
            const GermanInput::Amount a = GermanInput::amount(value.toString());
            if (a.ok && a.empty)
                return QVariant();
            ok = a.ok;
            v = a.value;
        } else {
            v = value.toDouble(&ok);
        }
        // "nan" and "inf" parse as numbers but are no amount anyone can mean.
        if (!ok || !std::isfinite(v))
            throw DbError(QStringLiteral("'%1' ist kein gültiger Gleitkommawert.").arg(value.toString()));
        return v;
    }
    case ColumnType::Text:
    case ColumnType::Memo:
        return value.toString();
    case ColumnType::Unknown:
        break;
    }
    if (value.typeId() == QMetaType::QDateTime || value.typeId() == QMetaType::QDate)
        return dateTimeText(toDateTime(value));
    return value;
}

QVariant fromTyped(const QString& text, ColumnType type, const QDate& today) {
    switch (type) {
    case ColumnType::DateTime: {
        if (text.trimmed().isEmpty())
            return QVariant();
        // A time of day alone belongs to the day that counts as "no date".
        static const QRegularExpression timeOnly(
            QStringLiteral("^\\s*(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*$"));
        const auto m = timeOnly.match(text);
        if (m.hasMatch()) {
            const QTime time(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
            if (!time.isValid())
                throw DbError(
                    QStringLiteral("'%1' ist keine gültige Uhrzeit.").arg(text.trimmed()));
            return QDateTime(timeBaseDate(), time);
        }
        const QDateTime dt = GermanInput::dateTime(text, today);
        if (!dt.isValid())
            throw DbError(GermanInput::dateError(text));
        return dt;
    }
    case ColumnType::Float:
    case ColumnType::Currency: {
        const GermanInput::Amount a = GermanInput::amount(text);
        if (!a.ok)
            throw DbError(QStringLiteral("'%1' ist kein gültiger Gleitkommawert.").arg(text));
        return a.empty ? QVariant() : QVariant(a.value);
    }
    default:
        return text;
    }
}

void requireFits(const SchemaInfo& schema, const QString& table, const QString& field,
                 const QString& text) {
    const TableInfo* info = schema.table(table);
    const ColumnInfo* column = info ? info->column(field) : nullptr;
    if (!column || column->type != ColumnType::Text || column->size <= 0 ||
        text.size() <= column->size)
        return;
    throw DbError(QStringLiteral("Der Text für '%1' ist zu lang: höchstens %2 Zeichen, "
                                 "eingegeben sind %3.")
                      .arg(column->name)
                      .arg(column->size)
                      .arg(text.size()));
}

QVariant fromDb(const QVariant& value, ColumnType type) {
    if (value.isNull() || !value.isValid())
        return type == ColumnType::Boolean ? QVariant(false) : QVariant();
    switch (type) {
    case ColumnType::DateTime: {
        const QDateTime dt = toDateTime(value);
        return dt.isValid() ? QVariant(dt) : QVariant();
    }
    case ColumnType::Boolean:
        if (value.typeId() == QMetaType::QString) {
            const QString t = value.toString().toLower();
            return t == QLatin1String("1") || t == QLatin1String("true");
        }
        return value.toBool();
    case ColumnType::Integer:
    case ColumnType::SmallInt:
    case ColumnType::AutoInc:
        return QVariant(static_cast<int>(value.toLongLong()));
    case ColumnType::Float:
    case ColumnType::Currency:
        return value.toDouble();
    case ColumnType::Text:
    case ColumnType::Memo:
        return value.toString();
    case ColumnType::Unknown:
        break;
    }
    return value;
}

} // namespace kilvaro::stored
