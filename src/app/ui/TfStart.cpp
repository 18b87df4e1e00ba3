#include "app/ui/TfStart.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QThread>

namespace kilvaro {

namespace {

const QSize kSize(420, 250);

/// A calm evening road running towards the horizon, with the program's initial.
QPixmap drawPicture(const QSize& size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, size.width(), size.height());
    QPainterPath clip;
    clip.addRoundedRect(r, 10, 10);
    p.setClipPath(clip);

    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0.0, QColor(0x2f, 0x4a, 0x6d));
    sky.setColorAt(0.6, QColor(0xc9, 0x8f, 0x6a));
    p.fillRect(r, sky);
    const double horizon = r.height() * 0.6;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xd3, 0x9b));
    p.drawEllipse(QPointF(r.width() * 0.68, horizon), r.width() * 0.11, r.width() * 0.11);
    p.setBrush(QColor(0x3b, 0x4d, 0x3a));
    p.drawRect(QRectF(0, horizon, r.width(), r.height() - horizon));
    QPainterPath hills;
    hills.moveTo(0, horizon);
    hills.cubicTo(r.width() * 0.25, horizon - 18, r.width() * 0.45, horizon - 4, r.width() * 0.6,
                  horizon - 10);
    hills.cubicTo(r.width() * 0.8, horizon - 16, r.width() * 0.9, horizon - 2, r.width(), horizon);
    hills.closeSubpath();
    p.setBrush(QColor(0x4a, 0x5e, 0x47));
    p.drawPath(hills);
    QPainterPath road;
    road.moveTo(r.width() * 0.5 - 3, horizon);
    road.lineTo(r.width() * 0.5 + 3, horizon);
    road.lineTo(r.width() * 0.78, r.height());
    road.lineTo(r.width() * 0.22, r.height());
    road.closeSubpath();
    p.setBrush(QColor(0x55, 0x55, 0x5a));
    p.drawPath(road);
    p.setPen(QPen(QColor(0xee, 0xee, 0xe0), 2, Qt::DashLine));
    p.drawLine(QPointF(r.width() * 0.5, horizon + 4), QPointF(r.width() * 0.5, r.height()));
    return pixmap;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int pixelSize,
                  const QColor& colour, bool bold = false) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont f = label->font();
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    label->setFont(f);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->adjustSize();
    return label;
}

} // namespace

TfStart::TfStart(const QString& programFile, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("fStart"));
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(kSize);

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setGeometry(8, 8, kSize.width() - 16, kSize.height() - 16);
    m_picture->setPixmap(drawPicture(m_picture->size()));
    m_picture->setCursor(Qt::PointingHandCursor);
    m_picture->installEventFilter(this);

    // The name twice, slightly offset, as a shadowed title.
    auto* shadow = makeLabel(this, QStringLiteral("Titelschatten"), QStringLiteral("Kilvaro"), 46,
                             QColor(0x1a, 0x1a, 0x22), true);
    shadow->move(30, 24);
    auto* title = makeLabel(this, QStringLiteral("Titel"), QStringLiteral("Kilvaro"), 46,
                            QColor(0xf6, 0xe7, 0xc1), true);
    title->move(27, 21);
    auto* version = makeLabel(this, QStringLiteral("Version"), QStringLiteral("Version 8"), 16,
                              QColor(0xf6, 0xe7, 0xc1));
    version->move(30, 80);
    auto* credit =
        makeLabel(this, QStringLiteral("Credit"),
                  QStringLiteral("Fahrtenbuch und Rechnungen für Überführungen"), 12, Qt::white);
    credit->move(30, kSize.height() - 50);

    const QString file =
        programFile.isEmpty() ? QCoreApplication::applicationFilePath() : programFile;
    const QDateTime changed = QFileInfo(file).lastModified();
    revision = makeLabel(this, QStringLiteral("revision"),
                         changed.isValid() ? changed.toString(QStringLiteral("dd.MM.yyyy hh:mm"))
                                           : QString(),
                         12, Qt::white);
    revision->move(30, kSize.height() - 32);
}

void TfStart::showSplash() {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    repaint();
    m_shown.start();
    QCoreApplication::processEvents();
}

void TfStart::finish(int minimumMs) {
    if (m_shown.isValid() && m_shown.elapsed() < minimumMs)
        QThread::msleep(static_cast<unsigned long>(minimumMs - m_shown.elapsed()));
    close();
}

void TfStart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x8a, 0x7a, 0x5a), 2));
    p.setBrush(QColor(0xf3, 0xee, 0xe2));
    p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 14, 14);
}

bool TfStart::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_picture && event->type() == QEvent::MouseButtonRelease) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kilvaro
