#include "reports/ReportText.h"

#include <QHash>
#include <QImage>
#include <QTextLayout>
#include <cmath>
#include <memory>

namespace kilvaro {

namespace {
constexpr int MeasureDpi = 72;

/// A device of 72 dpi, on which a point is one pixel.
QPaintDevice* measureDevice() {
    static QImage image = [] {
        QImage img(1, 1, QImage::Format_RGB32);
        img.setDotsPerMeterX(2835);
        img.setDotsPerMeterY(2835);
        return img;
    }();
    return &image;
}
} // namespace

QFont ReportText::unitFont(const QFont& pointFont, int deviceDpi) {
    QFont f(pointFont);
    const double points = pointFont.pointSizeF() > 0 ? pointFont.pointSizeF() : 10.0;
    // Pixel size wanted: points × 25.4 / 72 × UnitsPerMm; the device turns points into
    // pixels with deviceDpi / 72.
    f.setPointSizeF(points * 25.4 * UnitsPerMm / deviceDpi);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

const QFontMetricsF& ReportText::metrics(const QFont& pointFont) {
    // One thread renders reports; the cache lives for the program run and is small (a
    // report uses a handful of fonts).
    static QHash<QString, std::shared_ptr<QFontMetricsF>> cache;
    const QString key = pointFont.key();
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.insert(
            key, std::make_shared<QFontMetricsF>(unitFont(pointFont, MeasureDpi), measureDevice()));
    return *it.value();
}

QStringList ReportText::lines(const QFont& f, const QString& text, double widthMm, bool wrap) {
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList paragraphs = normalized.split(QLatin1Char('\n'));
    if (!wrap)
        return paragraphs;
    const QFontMetricsF& fm = metrics(f);
    const double width = widthMm * UnitsPerMm;
    QStringList out;
    for (const QString& para : paragraphs) {
        if (para.isEmpty() || fm.horizontalAdvance(para) <= width) {
            out.append(para);
            continue;
        }
        QTextLayout layout(para, unitFont(f, MeasureDpi), measureDevice());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            out.append(para.mid(line.textStart(), line.textLength()).trimmed());
        }
        layout.endLayout();
    }
    return out;
}

} // namespace kilvaro
