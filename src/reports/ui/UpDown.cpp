#include "reports/ui/UpDown.h"

#include <QEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace kilvaro {

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(18, 12);
        b->setIconSize(QSize(8, 8));
        layout->addWidget(b);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    connect(m_up, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(m_down, &QToolButton::clicked, this, &UpDown::stepDown);
    setFixedSize(18, 24);
    updateButtons();
}

void UpDown::setRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = qMax(minimum, maximum);
    setPosition(m_position);
}

void UpDown::setPosition(int position) {
    m_position = qBound(m_minimum, position, m_maximum);
    updateButtons();
}

void UpDown::stepUp() {
    step(1);
}

void UpDown::stepDown() {
    step(-1);
}

void UpDown::step(int delta) {
    if (!isEnabled())
        return;
    const int next = qBound(m_minimum, m_position + delta, m_maximum);
    if (next == m_position)
        return;
    m_position = next;
    updateButtons();
    emit clicked(m_position);
}

void UpDown::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        updateButtons();
}

void UpDown::updateButtons() {
    m_up->setEnabled(isEnabled() && m_position < m_maximum);
    m_down->setEnabled(isEnabled() && m_position > m_minimum);
}

} // namespace kilvaro
