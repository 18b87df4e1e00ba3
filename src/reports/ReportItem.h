#pragma once

#include "base/Money.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>

namespace kilvaro {

class RecordSource;

/// Lines along the edges of an item or a band. Width in points; 0 draws nothing.
struct ReportFrame {
    bool top = false;
    bool bottom = false;
    bool left = false;
    bool right = false;
    double width = 0.5;

    bool any() const { return width > 0 && (top || bottom || left || right); }
    static ReportFrame all(double width = 0.5) { return {true, true, true, true, width}; }
    static ReportFrame bottomRule(double width = 0.5) { return {false, true, false, false, width}; }
    static ReportFrame topRule(double width = 0.5) { return {true, false, false, false, width}; }
};

/// One printable item on a band. Its geometry is in millimetres: x from the left margin
/// of the page, y from the top of its band. Setters return the item, so a report can
/// describe an item in one statement:
///
///     band->addField("DFBetrag", {120, 0, 30, 5}, "Betrag", "#,##0.00 €").alignRight();
///
/// Band before-print hooks change items freely (caption, mask, visibility, font); the
/// changes stay until changed again, as on a layout.
class ReportItem {
public:
    enum class Kind {
        Label,      ///< fixed text, caption set by code
        DataField,  ///< a field of a data set, with an optional mask
        Expression, ///< sum of a field over the records printed since the last reset
        SystemData, ///< report title, date, page number, detail count
        Shape,      ///< rectangle or line
        Image
    };
    enum class System { ReportTitle, Date, Time, DateTime, PageNumber, DetailCount };
    enum class Shape { Rectangle, HorizontalLine, VerticalLine, DoubleHorizontalLine };

    ReportItem(Kind kind, QString name, const QRectF& geometryMm);

    Kind kind() const { return m_kind; }
    const QString& name() const { return m_name; }

    // --- geometry and look ----------------------------------------------------------------
    QRectF geometry() const { return m_geometry; }
    ReportItem& setGeometry(const QRectF& mm) {
        m_geometry = mm;
        return *this;
    }
    const QFont& font() const { return m_font; }
    ReportItem& setFont(const QFont& font) {
        m_font = font;
        return *this;
    }
    ReportItem& setFontSize(double points);
    ReportItem& bold(bool on = true);
    ReportItem& italic(bool on = true);
    Qt::Alignment alignment() const { return m_alignment; }
    ReportItem& setAlignment(Qt::Alignment a) {
        m_alignment = a;
        return *this;
    }
    ReportItem& alignRight() { return setAlignment(Qt::AlignRight | Qt::AlignTop); }
    ReportItem& alignCenter() { return setAlignment(Qt::AlignHCenter | Qt::AlignTop); }
    /// Word-wrapped text: the item grows downwards to hold all lines, and its band with it.
    /// Line breaks in the text always start a new line, wrapped or not.
    bool wordWrap() const { return m_wordWrap; }
    ReportItem& setWordWrap(bool on = true) {
        m_wordWrap = on;
        return *this;
    }
    QColor color() const { return m_color; }
    ReportItem& setColor(const QColor& c) {
        m_color = c;
        return *this;
    }
    const ReportFrame& frame() const { return m_frame; }
    ReportItem& setFrame(const ReportFrame& f) {
        m_frame = f;
        return *this;
    }
    /// Hidden items print nothing (and do not grow their band).
    bool isVisible() const { return m_visible; }
    ReportItem& setVisible(bool on) {
        m_visible = on;
        return *this;
    }

    // --- content --------------------------------------------------------------------------
    /// Label: the text. System data: a text printed before the value ("Seite ").
    const QString& caption() const { return m_caption; }
    ReportItem& setCaption(const QString& text) {
        m_caption = text;
        return *this;
    }
    /// Data field and sum expression: the field name (without regard to case).
    const QString& field() const { return m_field; }
    ReportItem& setField(const QString& f) {
        m_field = f;
        return *this;
    }
    /// Number or date mask of the program's formatter ("#,##0.00 €", "dd.mm.yyyy"). Empty:
    /// numbers as German decimals, dates as "dd.mm.yyyy".
    const QString& mask() const { return m_mask; }
    ReportItem& setMask(const QString& m) {
        m_mask = m;
        return *this;
    }
    /// The data set a field or sum reads; null: the data set of the band's level (the
    /// sub-detail's for its bands, else the report's).
    RecordSource* source() const { return m_source; }
    ReportItem& setSource(RecordSource* s) {
        m_source = s;
        return *this;
    }
    System system() const { return m_system; }
    ReportItem& setSystem(System s) {
        m_system = s;
        return *this;
    }
    Shape shape() const { return m_shape; }
    ReportItem& setShape(Shape s) {
        m_shape = s;
        return *this;
    }
    /// Line width of shapes in points.
    double penWidth() const { return m_penWidth; }
    ReportItem& setPenWidth(double points) {
        m_penWidth = points;
        return *this;
    }
    /// Shapes: the height follows the band's printed height (vertical separators of a line
    /// whose text wraps).
    bool stretchToBand() const { return m_stretch; }
    ReportItem& setStretchToBand(bool on = true) {
        m_stretch = on;
        return *this;
    }
    const QImage& image() const { return m_image; }
    ReportItem& setImage(const QImage& img) {
        m_image = img;
        return *this;
    }

    // --- sums -----------------------------------------------------------------------------
    /// The running sum of an expression item (each value rounded to 1/10000 before adding;
    /// to whole cents with sumOfCents, so that the sum is that of the amounts as printed).
    Money sum() const { return m_sum; }
    void addToSum(Money m) { m_sum += m_sumOfCents ? m.roundedToCents() : m; }
    ReportItem& setSumOfCents(bool on = true) {
        m_sumOfCents = on;
        return *this;
    }
    void resetSum() { m_sum = Money(); }

private:
    Kind m_kind;
    QString m_name;
    QRectF m_geometry;
    QFont m_font;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignTop;
    bool m_wordWrap = false;
    QColor m_color = Qt::black;
    ReportFrame m_frame{false, false, false, false, 0.5};
    bool m_visible = true;
    QString m_caption;
    QString m_field;
    QString m_mask;
    RecordSource* m_source = nullptr;
    System m_system = System::ReportTitle;
    Shape m_shape = Shape::Rectangle;
    double m_penWidth = 0.5;
    bool m_stretch = false;
    QImage m_image;
    Money m_sum;
    bool m_sumOfCents = false;
};

} // namespace kilvaro
