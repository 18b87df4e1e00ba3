#include "base/ui/AppIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kilvaro {

namespace {

const QColor kOutline(0x37, 0x47, 0x4f);
const QColor kBlue(0x3d, 0x7e, 0xc4);
const QColor kPaper(0xfa, 0xfa, 0xf5);
const QColor kGreen(0x4c, 0x9a, 0x5a);
const QColor kAmber(0xe0, 0xa3, 0x2e);

void person(QPainter& p, QPointF head, double scale, const QColor& body) {
    p.setBrush(QColor(0xf1, 0xc2, 0x9a));
    p.drawEllipse(head, 3.2 * scale, 3.2 * scale);
    QPainterPath torso;
    const double w = 7.0 * scale, h = 8.0 * scale;
    const QPointF top(head.x(), head.y() + 4.0 * scale);
    torso.moveTo(top.x() - w / 2, top.y() + h);
    torso.lineTo(top.x() - w / 2, top.y() + 2.5 * scale);
    torso.quadTo(top.x() - w / 2, top.y(), top.x(), top.y());
    torso.quadTo(top.x() + w / 2, top.y(), top.x() + w / 2, top.y() + 2.5 * scale);
    torso.lineTo(top.x() + w / 2, top.y() + h);
    torso.closeSubpath();
    p.setBrush(body);
    p.drawPath(torso);
}

void sheet(QPainter& p, const QRectF& r) {
    p.setBrush(kPaper);
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - 4, r.top());
    path.lineTo(r.right(), r.top() + 4);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.drawPath(path);
}

void euro(QPainter& p, QPointF centre, double size, const QColor& colour) {
    QFont f = p.font();
    f.setPixelSize(int(size));
    f.setBold(true);
    p.setFont(f);
    p.setPen(colour);
    p.drawText(QRectF(centre.x() - size, centre.y() - size, 2 * size, 2 * size), Qt::AlignCenter,
               QStringLiteral("€"));
    p.setPen(QPen(kOutline, 1.2));
}

// Draws in a 24 x 24 design grid; the painter is scaled to the pixmap size.
void draw(QPainter& p, AppIcons::Kind kind) {
    p.setPen(QPen(kOutline, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (kind) {
    case AppIcons::Kind::Fahrten: {
        QPainterPath body;
        body.moveTo(2, 16);
        body.lineTo(2, 11);
        body.lineTo(6, 7);
        body.lineTo(17, 7);
        body.lineTo(22, 11.5);
        body.lineTo(22, 16);
        body.closeSubpath();
        p.setBrush(QColor(0x55, 0x60, 0x6b));
        p.drawPath(body);
        p.setBrush(QColor(0xcf, 0xe3, 0xf2));
        p.drawRect(QRectF(6.5, 8.5, 4.5, 3));
        p.drawRect(QRectF(12, 8.5, 4.5, 3));
        p.setBrush(QColor(0x2b, 0x2b, 0x2b));
        p.drawEllipse(QPointF(7, 16.5), 2.6, 2.6);
        p.drawEllipse(QPointF(17.5, 16.5), 2.6, 2.6);
        p.setPen(QPen(kOutline, 1.0));
        p.drawLine(QPointF(1, 21), QPointF(23, 21));
        break;
    }
    case AppIcons::Kind::Bestatter:
        person(p, QPointF(12, 6), 1.4, QColor(0x33, 0x33, 0x3a));
        p.setBrush(QColor(0xb0, 0x30, 0x30));
        p.setPen(Qt::NoPen);
        p.drawPolygon(
            QPolygonF({QPointF(12, 12), QPointF(13.2, 15), QPointF(12, 19), QPointF(10.8, 15)}));
        break;
    case AppIcons::Kind::Hilfskraefte:
        person(p, QPointF(15.5, 6), 1.15, kGreen.darker(120));
        person(p, QPointF(8.5, 9), 1.15, kGreen);
        break;
    case AppIcons::Kind::Tarife: {
        QPainterPath tag;
        tag.moveTo(3, 12);
        tag.lineTo(10, 4);
        tag.lineTo(21, 4);
        tag.lineTo(21, 20);
        tag.lineTo(10, 20);
        tag.closeSubpath();
        p.setBrush(kAmber);
        p.drawPath(tag);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8.5, 12), 1.6, 1.6);
        euro(p, QPointF(15.5, 12), 11, kOutline);
        break;
    }
    case AppIcons::Kind::Preisliste:
        sheet(p, QRectF(3, 2, 15, 20));
        for (int i = 0; i < 5; ++i)
            p.drawLine(QPointF(6, 7 + 3 * i), QPointF(15, 7 + 3 * i));
        p.setBrush(kAmber);
        p.drawEllipse(QPointF(17.5, 17.5), 5, 5);
        euro(p, QPointF(17.5, 17.5), 8, Qt::white);
        break;
    case AppIcons::Kind::Rechnungen:
        sheet(p, QRectF(4, 2, 16, 20));
        p.setPen(QPen(kBlue, 1.6));
        p.drawLine(QPointF(7, 6), QPointF(13, 6));
        p.setPen(QPen(kOutline, 1.0));
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(7, 10 + 2.5 * i), QPointF(17, 10 + 2.5 * i));
        p.setPen(QPen(kOutline, 1.4));
        p.drawLine(QPointF(11, 18.5), QPointF(17, 18.5));
        break;
    case AppIcons::Kind::Monatsrechnungen:
        p.setBrush(kPaper);
        p.drawRoundedRect(QRectF(3, 4, 18, 17), 2, 2);
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(3, 4, 18, 5), 2, 2);
        p.setPen(QPen(kOutline, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 2.5), QPointF(8, 6));
        p.drawLine(QPointF(16, 2.5), QPointF(16, 6));
        p.setPen(Qt::NoPen);
        p.setBrush(kOutline);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                p.drawRect(QRectF(5.5 + 3.5 * c, 11 + 3 * r, 2, 1.8));
        p.setBrush(QColor(0xb0, 0x30, 0x30));
        p.drawRect(QRectF(5.5 + 3.5 * 3, 11 + 3 * 2, 2, 1.8));
        break;
    case AppIcons::Kind::Drucken:
        sheet(p, QRectF(7, 2, 10, 8));
        p.setBrush(QColor(0x9e, 0xa7, 0xad));
        p.drawRoundedRect(QRectF(2, 9, 20, 9), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(6, 15, 12, 7));
        p.setPen(QPen(kOutline, 0.9));
        p.drawLine(QPointF(8, 17.5), QPointF(16, 17.5));
        p.drawLine(QPointF(8, 19.5), QPointF(14, 19.5));
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(18.5, 12), 1.1, 1.1);
        break;
    case AppIcons::Kind::Hilfe: {
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(12, 12), 10, 10);
        QFont f = p.font();
        f.setPixelSize(15);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    }
}

} // namespace

QIcon AppIcons::icon(Kind kind) {
    QIcon result;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(size / 24.0, size / 24.0);
        draw(p, kind);
        p.end();
        result.addPixmap(pixmap);
    }
    return result;
}

} // namespace kilvaro
