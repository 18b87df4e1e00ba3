#include "reports/ReportBand.h"

namespace kilvaro {

ReportBand::ReportBand(BandKind kind, QString name, double heightMm, const QFont& font)
    : m_kind(kind), m_name(std::move(name)), m_height(heightMm), m_font(font) {}

ReportBand::~ReportBand() = default;

ReportItem& ReportBand::add(std::unique_ptr<ReportItem> item) {
    item->setFont(m_font);
    m_items.push_back(std::move(item));
    return *m_items.back();
}

ReportItem& ReportBand::addLabel(const QString& name, const QRectF& mm, const QString& caption) {
    return add(std::make_unique<ReportItem>(ReportItem::Kind::Label, name, mm)).setCaption(caption);
}

ReportItem& ReportBand::addField(const QString& name, const QRectF& mm, const QString& field,
                                 const QString& mask) {
    return add(std::make_unique<ReportItem>(ReportItem::Kind::DataField, name, mm))
        .setField(field)
        .setMask(mask);
}

ReportItem& ReportBand::addSum(const QString& name, const QRectF& mm, const QString& field,
                               const QString& mask) {
    return add(std::make_unique<ReportItem>(ReportItem::Kind::Expression, name, mm))
        .setField(field)
        .setMask(mask);
}

ReportItem& ReportBand::addSystem(const QString& name, const QRectF& mm, ReportItem::System what,
                                  const QString& prefix) {
    return add(std::make_unique<ReportItem>(ReportItem::Kind::SystemData, name, mm))
        .setSystem(what)
        .setCaption(prefix);
}

ReportItem& ReportBand::addRect(const QString& name, const QRectF& mm, double penPoints) {
    return add(std::make_unique<ReportItem>(ReportItem::Kind::Shape, name, mm))
        .setShape(ReportItem::Shape::Rectangle)
        .setPenWidth(penPoints);
}

ReportItem& ReportBand::addHLine(const QString& name, double x, double y, double length,
                                 double penPoints) {
    return add(std::make_unique<ReportItem>(ReportItem::Kind::Shape, name, QRectF(x, y, length, 0)))
        .setShape(ReportItem::Shape::HorizontalLine)
        .setPenWidth(penPoints);
}

ReportItem& ReportBand::addDoubleLine(const QString& name, double x, double y, double length,
                                      double penPoints) {
    return add(std::make_unique<ReportItem>(ReportItem::Kind::Shape, name,
                                            QRectF(x, y, length, 0.8)))
        .setShape(ReportItem::Shape::DoubleHorizontalLine)
        .setPenWidth(penPoints);
}

ReportItem& ReportBand::addVLine(const QString& name, double x, double y, double length,
                                 double penPoints, bool stretch) {
    return add(std::make_unique<ReportItem>(ReportItem::Kind::Shape, name, QRectF(x, y, 0, length)))
        .setShape(ReportItem::Shape::VerticalLine)
        .setPenWidth(penPoints)
        .setStretchToBand(stretch);
}

ReportItem& ReportBand::addImage(const QString& name, const QRectF& mm, const QImage& image) {
    return add(std::make_unique<ReportItem>(ReportItem::Kind::Image, name, mm)).setImage(image);
}

ReportItem* ReportBand::item(const QString& name) const {
    for (const auto& i : m_items)
        if (i->name() == name)
            return i.get();
    return nullptr;
}

QList<ReportItem*> ReportBand::items() const {
    QList<ReportItem*> list;
    for (const auto& i : m_items)
        list.append(i.get());
    return list;
}

ReportBand* ReportBand::addChild(const QString& name, double heightMm) {
    m_children.push_back(std::make_unique<ReportBand>(BandKind::Child, name, heightMm, m_font));
    m_children.back()->m_parent = this;
    m_children.back()->m_subDetail = m_subDetail;
    return m_children.back().get();
}

QList<ReportBand*> ReportBand::children() const {
    QList<ReportBand*> list;
    for (const auto& c : m_children)
        list.append(c.get());
    return list;
}

} // namespace kilvaro
