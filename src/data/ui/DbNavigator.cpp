#include "data/ui/DbNavigator.h"

#include "base/DialogService.h"
#include "data/DataSource.h"
#include "base/DbError.h"
#include "data/Table.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace kilvaro {

namespace {

struct ButtonInfo {
    const char* name;
    const char* tip;
    QStyle::StandardPixmap icon;
};

const ButtonInfo kButtons[] = {
    {"First", "Erster Datensatz", QStyle::SP_MediaSkipBackward},
    {"Prior", "Vorheriger Datensatz", QStyle::SP_MediaSeekBackward},
    {"Next", "Nächster Datensatz", QStyle::SP_MediaSeekForward},
    {"Last", "Letzter Datensatz", QStyle::SP_MediaSkipForward},
    {"Insert", "Datensatz einfügen", QStyle::SP_FileIcon},
    {"Delete", "Datensatz löschen", QStyle::SP_TrashIcon},
    {"Post", "Daten speichern", QStyle::SP_DialogApplyButton},
    {"Cancel", "Bearbeitung abbrechen", QStyle::SP_DialogCancelButton},
};

} // namespace

DbNavigator::DbNavigator(DialogService* dialogs, QWidget* parent)
    : QWidget(parent), m_dialogs(dialogs) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < int(std::size(kButtons)); ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(kButtons[i].name));
        b->setToolTip(QString::fromUtf8(kButtons[i].tip));
        b->setAccessibleName(b->toolTip());
        b->setIcon(style()->standardIcon(kButtons[i].icon));
        b->setAutoRaise(true);
        const auto which = static_cast<Button>(i);
        connect(b, &QToolButton::clicked, this, [this, which] { click(which); });
        layout->addWidget(b);
        m_buttons << b;
    }
    layout->addStretch();
    updateButtons();
}

void DbNavigator::setDataSource(DataSource* source) {
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        connect(source, &DataSource::dataChange, this, &DbNavigator::updateButtons);
        connect(source, &DataSource::stateChange, this, &DbNavigator::updateButtons);
        connect(source, &DataSource::setChange, this, &DbNavigator::updateButtons);
        connect(source, &QObject::destroyed, this, &DbNavigator::updateButtons);
    }
    updateButtons();
}

DataSource* DbNavigator::dataSource() const {
    return m_source;
}

void DbNavigator::setButtonVisible(Button button, bool visible) {
    m_buttons[button]->setVisible(visible);
}

void DbNavigator::setAllButtonsVisible() {
    for (QToolButton* b : m_buttons)
        b->setVisible(true);
}

QToolButton* DbNavigator::button(Button button) const {
    return m_buttons.value(button);
}

void DbNavigator::click(Button button) {
    Table* table = m_source ? m_source->table() : nullptr;
    if (!table || !table->isOpen() || !m_buttons[button]->isEnabled())
        return;
    try {
        switch (button) {
        case First:
            table->first();
            break;
        case Prior:
            table->prior();
            break;
        case Next:
            table->next();
            break;
        case Last:
            table->last();
            break;
        case Insert:
            table->insert();
            break;
        case Delete:
            if (!m_dialogs->confirm(QStringLiteral("Datensatz löschen?")))
                return;
            table->remove();
            break;
        case Post:
            table->post();
            break;
        case Cancel:
            table->cancel();
            break;
        }
    } catch (const DbError& e) {
        // A rule that stops quietly has already told the user what it wanted.
        if (!e.message().isEmpty())
            m_dialogs->error(e.message());
    }
    updateButtons();
    emit clicked(button);
}

void DbNavigator::updateButtons() {
    Table* table = m_source ? m_source->table() : nullptr;
    const bool active = table && table->isOpen();
    const bool editing = active && table->isEditing();
    const int count = active ? table->recordCount() : 0;
    const int row = active ? table->recNo() : -1;
    // The old engine's flags, sharpened by the position: on the first row there is
    // nothing before it even before bof is set by a move.
    const bool up = active && !table->bof() && row > 0;
    const bool down = active && !table->eof() && row >= 0 && row < count - 1;
    m_buttons[First]->setEnabled(up);
    m_buttons[Prior]->setEnabled(up);
    m_buttons[Next]->setEnabled(down);
    m_buttons[Last]->setEnabled(down);
    m_buttons[Insert]->setEnabled(active);
    m_buttons[Delete]->setEnabled(active && count > 0);
    m_buttons[Post]->setEnabled(editing);
    m_buttons[Cancel]->setEnabled(editing);
}

} // namespace kilvaro
