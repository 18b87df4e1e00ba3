#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QStringList>

namespace kilvaro {

/// Text measurement of the report engine, independent of any screen or printer
/// resolution: fonts are measured (and painted) at a pixel size in tenths of a
/// millimetre, so a page laid out once looks the same on every device.
class ReportText {
public:
    /// Units per millimetre of the measuring font.
    static constexpr double UnitsPerMm = 10.0;

    /// The font (sized in points) scaled so that, on a device of `deviceDpi`, it has the
    /// size in units (1/UnitsPerMm mm) that the point size has in millimetres; fractional
    /// sizes are kept, hinting is off.
    static QFont unitFont(const QFont& pointFont, int deviceDpi);
    /// Metrics of the unit font, cached per font.
    static const QFontMetricsF& metrics(const QFont& pointFont);

    static double ascentMm(const QFont& f) { return metrics(f).ascent() / UnitsPerMm; }
    static double lineHeightMm(const QFont& f) { return metrics(f).lineSpacing() / UnitsPerMm; }
    static double widthMm(const QFont& f, const QString& text) {
        return metrics(f).horizontalAdvance(text) / UnitsPerMm;
    }
    /// The text broken into lines of at most `widthMm` (at blanks, or inside a word longer
    /// than the width); line breaks in the text always break. Without wrapping only the
    /// line breaks break.
    static QStringList lines(const QFont& f, const QString& text, double widthMm, bool wrap);
};

} // namespace kilvaro
