#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace kilvaro {

/// One drawn element of a rendered page, positioned in millimetres from the top left
/// corner of the paper. Texts are laid out (wrapped, aligned) when the page is rendered,
/// so painting at any zoom or on any device shows exactly the same lines.
struct PageElement {
    enum class Type { Text, Line, Rect, Image };
    Type type = Type::Text;
    QRectF rect;         ///< text: the line's box; line: from topLeft to bottomRight
    double baseline = 0; ///< text: y of the baseline
    QString text;
    QFont font; ///< in points
    QColor color = Qt::black;
    double penWidth = 0.5; ///< points
    QImage image;
    QString band; ///< name of the band that printed the element
    QString item; ///< name of the item
};

/// A rendered page: its elements and, in print order, the names of the bands on it.
struct ReportPage {
    int number = 0; ///< 1-based
    QList<PageElement> elements;
    QStringList bands;

    /// The texts of the page in print order (each wrapped line on its own).
    QStringList texts() const;
    /// The texts printed by one item, in print order.
    QStringList textsOf(const QString& itemName) const;
    /// The element's text joined per band print, e.g. to find a line of a table.
    bool containsText(const QString& text) const { return texts().contains(text); }
};

} // namespace kilvaro
