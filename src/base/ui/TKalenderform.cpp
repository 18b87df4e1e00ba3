#include "base/ui/TKalenderform.h"

#include <QCalendarWidget>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QTextCharFormat>
#include <QVBoxLayout>

namespace kilvaro {

TKalenderform::TKalenderform(QWidget* parent, const QDate& today)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_today(today) {
    setObjectName(QStringLiteral("Kalenderform"));
    setWindowTitle(QStringLiteral("Kalender"));
    auto* layout = new QVBoxLayout(this);

    Kalender = new QCalendarWidget(this);
    Kalender->setObjectName(QStringLiteral("Kalender"));
    Kalender->setLocale(QLocale(QLocale::German, QLocale::Germany));
    Kalender->setFirstDayOfWeek(Qt::Monday);
    Kalender->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    Kalender->setGridVisible(true);
    Kalender->setSelectedDate(m_today);
    layout->addWidget(Kalender);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BTOK = new QPushButton(QStringLiteral("&OK"), this);
    BTOK->setObjectName(QStringLiteral("BTOK"));
    BTOK->setDefault(true);
    BTOK->setAutoDefault(true);
    BTAbbruch = new QPushButton(QStringLiteral("&Abbruch"), this);
    BTAbbruch->setObjectName(QStringLiteral("BTAbbruch"));
    BTAbbruch->setAutoDefault(false);
    buttons->addWidget(BTOK);
    buttons->addWidget(BTAbbruch);
    layout->addLayout(buttons);

    connect(BTOK, &QPushButton::clicked, this, &TKalenderform::BTOKClick);
    connect(BTAbbruch, &QPushButton::clicked, this, &TKalenderform::BTAbbruchClick);
    // A double-click (or Enter) on a day acts as OK.
    connect(Kalender, &QCalendarWidget::activated, this, [this](QDate date) {
        Kalender->setSelectedDate(date);
        BTOKClick();
    });
    // Esc cancels like the cancel button.
    connect(this, &QDialog::rejected, this, [this] { m_result.clear(); });
}

void TKalenderform::setDate(const QDate& date) {
    if (date.isValid())
        Kalender->setSelectedDate(date);
}

QDate TKalenderform::date() const {
    return Kalender->selectedDate();
}

void TKalenderform::showEvent(QShowEvent* event) {
    if (!Kalender->selectedDate().isValid())
        Kalender->setSelectedDate(m_today);
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TKalenderform::BTOKClick() {
    m_result = Kalender->selectedDate().toString(QStringLiteral("dd.MM.yyyy"));
    accept();
}

void TKalenderform::BTAbbruchClick() {
    m_result.clear();
    reject();
}

} // namespace kilvaro
