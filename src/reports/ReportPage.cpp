#include "reports/ReportPage.h"

namespace kilvaro {

QStringList ReportPage::texts() const {
    QStringList list;
    for (const PageElement& e : elements)
        if (e.type == PageElement::Type::Text)
            list.append(e.text);
    return list;
}

QStringList ReportPage::textsOf(const QString& itemName) const {
    QStringList list;
    for (const PageElement& e : elements)
        if (e.type == PageElement::Type::Text && e.item == itemName)
            list.append(e.text);
    return list;
}

} // namespace kilvaro
