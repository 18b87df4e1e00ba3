#include "reports/ReportItem.h"

namespace kilvaro {

ReportItem::ReportItem(Kind kind, QString name, const QRectF& geometryMm)
    : m_kind(kind), m_name(std::move(name)), m_geometry(geometryMm) {}

ReportItem& ReportItem::setFontSize(double points) {
    m_font.setPointSizeF(points);
    return *this;
}

ReportItem& ReportItem::bold(bool on) {
    m_font.setBold(on);
    return *this;
}

ReportItem& ReportItem::italic(bool on) {
    m_font.setItalic(on);
    return *this;
}

} // namespace kilvaro
