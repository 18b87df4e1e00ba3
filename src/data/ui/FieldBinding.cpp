#include "data/ui/FieldBinding.h"

#include "base/DialogService.h"
#include "data/Connection.h"
#include "data/DataSource.h"
#include "base/DbError.h"
#include "data/StoredValue.h"
#include "data/Table.h"
#include "data/TableModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTimeEdit>

namespace kilvaro {

FieldBinding::FieldBinding(DataSource* source, const QString& field, QWidget* control,
                           DialogService* dialogs)
    : QObject(control), m_source(source), m_field(field), m_control(control), m_dialogs(dialogs) {
    if (source) {
        connect(source, &DataSource::dataChange, this, &FieldBinding::onSourceChange);
        connect(source, &DataSource::setChange, this, [this] { onSourceChange(QString()); });
        connect(source, &DataSource::stateChange, this, [this] { updateEnabled(); });
    }
    if (auto* e = qobject_cast<QLineEdit*>(control)) {
        connect(e, &QLineEdit::textEdited, this, &FieldBinding::userStartsEditing);
        // Text set from outside the keyboard (a screen reader's text interface, a paste
        // through the accessibility layer) is the user's input as well.
        connect(e, &QLineEdit::textChanged, this, [this] {
            if (!m_updating && !m_dirty)
                userStartsEditing();
        });
        connect(e, &QLineEdit::editingFinished, this, &FieldBinding::commit);
    } else if (auto* c = qobject_cast<QCheckBox*>(control)) {
        connect(c, &QCheckBox::clicked, this, [this](bool on) { write(on); });
    } else if (auto* cb = qobject_cast<QComboBox*>(control)) {
        connect(cb, &QComboBox::activated, this, [this] {
            if (!m_updating) {
                m_dirty = true;
                commit();
            }
        });
        if (cb->isEditable() && cb->lineEdit()) {
            connect(cb->lineEdit(), &QLineEdit::textEdited, this, &FieldBinding::userStartsEditing);
            connect(cb->lineEdit(), &QLineEdit::editingFinished, this, &FieldBinding::commit);
        }
    } else if (auto* de = qobject_cast<QDateTimeEdit*>(control)) {
        // An empty date is shown as the minimum with a blank text (not for times: the
        // minimum there is midnight).
        if (qobject_cast<QDateEdit*>(de))
            de->setSpecialValueText(QStringLiteral(" "));
        connect(de, &QDateTimeEdit::dateTimeChanged, this, [this] {
            if (!m_updating) {
                m_dirty = true;
                commit();
            }
        });
    } else if (auto* sb = qobject_cast<QSpinBox*>(control)) {
        connect(sb, &QSpinBox::valueChanged, this, [this] {
            if (!m_updating) {
                m_dirty = true;
                commit();
            }
        });
    } else if (auto* pe = qobject_cast<QPlainTextEdit*>(control)) {
        connect(pe, &QPlainTextEdit::textChanged, this, [this] {
            if (!m_updating)
                userStartsEditing();
        });
        pe->installEventFilter(this);
    }
    attachTable();
    showValue();
}

Table* FieldBinding::table() const {
    return m_source ? m_source->table() : nullptr;
}

void FieldBinding::attachTable() {
    Table* t = table();
    if (t == m_table)
        return;
    if (m_table)
        m_table->removeUpdateRecordHooks(this);
    m_table = t;
    if (t) {
        // A store writes what the user typed but has not confirmed yet; a refusal stops it.
        t->addUpdateRecordHook(this, [this] {
            if (m_dirty && m_table) {
                m_table->setValue(m_field, controlValue());
                m_dirty = false;
            }
        });
    }
}

void FieldBinding::setMask(const QString& mask) {
    m_mask = mask;
    showValue();
}

void FieldBinding::setReadOnly(bool on) {
    m_readOnly = on;
    updateEnabled();
}

void FieldBinding::onSourceChange(const QString& field) {
    attachTable();
    if (m_updating)
        return; // our own edit() or setValue() announcing itself
    if (!field.isEmpty() && field.compare(m_field, Qt::CaseInsensitive) != 0) {
        // Another stored field changed: only calculated and lookup fields may follow it.
        Table* t = table();
        if (!t || !t->hasField(m_field))
            return;
        const TableInfo* info = t->connection()->schema().table(t->tableName());
        if (!info || info->column(m_field))
            return;
    }
    showValue();
}

void FieldBinding::updateEnabled() {
    if (!m_control)
        return;
    Table* t = table();
    const bool writable = !m_readOnly && t && t->isOpen() && t->hasField(m_field);
    if (auto* e = qobject_cast<QLineEdit*>(m_control.data()))
        e->setReadOnly(!writable);
    else if (auto* pe = qobject_cast<QPlainTextEdit*>(m_control.data()))
        pe->setReadOnly(!writable);
    else
        m_control->setEnabled(writable);
}

QString FieldBinding::displayText(const QVariant& value) const {
    Table* t = table();
    const ColumnType type = t ? t->fieldType(m_field) : ColumnType::Unknown;
    if (type == ColumnType::DateTime || type == ColumnType::Float || type == ColumnType::Currency)
        return TableModel::defaultFormat(value, type, m_mask);
    return value.isNull() ? QString() : value.toString();
}

void FieldBinding::showValue() {
    if (!m_control)
        return;
    updateEnabled();
    Table* t = table();
    QVariant value;
    if (t && t->isOpen() && t->hasField(m_field)) {
        try {
            value = t->value(m_field);
        } catch (const DbError&) {
        }
    }
    m_updating = true;
    m_dirty = false;
    QWidget* w = m_control.data();
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(displayText(value));
        e->setModified(false);
    } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
        c->setChecked(value.toBool());
    } else if (auto* cb = qobject_cast<QComboBox*>(w)) {
        int index = value.isNull() ? -1 : cb->findData(value);
        if (index < 0 && !value.isNull())
            index = cb->findText(value.toString(), Qt::MatchFixedString);
        if (cb->isEditable() && index < 0)
            cb->setEditText(value.toString());
        else
            cb->setCurrentIndex(index);
    } else if (auto* te = qobject_cast<QTimeEdit*>(w)) {
        te->setTime(value.isNull() ? te->minimumTime() : value.toDateTime().time());
    } else if (auto* de = qobject_cast<QDateEdit*>(w)) {
        de->setDate(value.isNull() ? de->minimumDate() : value.toDateTime().date());
    } else if (auto* sb = qobject_cast<QSpinBox*>(w)) {
        sb->setValue(value.toInt());
    } else if (auto* pe = qobject_cast<QPlainTextEdit*>(w)) {
        pe->setPlainText(value.toString());
    }
    m_updating = false;
}

QVariant FieldBinding::controlValue() const {
    QWidget* w = m_control.data();
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        const QString text = e->text();
        Table* t = table();
        const ColumnType type = t ? t->fieldType(m_field) : ColumnType::Unknown;
        if (type == ColumnType::DateTime || type == ColumnType::Float ||
            type == ColumnType::Currency)
            return stored::fromTyped(text, type, m_today ? m_today() : QDate::currentDate());
        if (t)
            stored::requireFits(t->connection()->schema(), t->tableName(), m_field, text);
        return text;
    }
    if (auto* c = qobject_cast<QCheckBox*>(w))
        return c->isChecked();
    if (auto* cb = qobject_cast<QComboBox*>(w)) {
        const QVariant data = cb->currentData();
        const bool typed = cb->isEditable() && cb->currentIndex() >= 0 &&
                           cb->currentText() != cb->itemText(cb->currentIndex());
        if (!typed && data.isValid())
            return data;
        if (Table* t = table())
            stored::requireFits(t->connection()->schema(), t->tableName(), m_field,
                                cb->currentText());
        return cb->currentText();
    }
    if (auto* te = qobject_cast<QTimeEdit*>(w))
        return te->time();
    if (auto* de = qobject_cast<QDateEdit*>(w))
        return de->date() == de->minimumDate() ? QVariant() : QVariant(de->date());
    if (auto* sb = qobject_cast<QSpinBox*>(w))
        return sb->value();
    if (auto* pe = qobject_cast<QPlainTextEdit*>(w)) {
        const QString text = pe->toPlainText();
        if (Table* t = table())
            stored::requireFits(t->connection()->schema(), t->tableName(), m_field, text);
        return text;
    }
    return {};
}

void FieldBinding::userStartsEditing() {
    Table* t = table();
    if (m_updating || !t)
        return;
    m_dirty = true;
    if (t->isEditing())
        return;
    // edit() announces the change; the control keeps what the user just typed.
    m_updating = true;
    try {
        t->edit();
    } catch (const DbError& e) {
        m_updating = false;
        if (!e.message().isEmpty())
            m_dialogs->error(e.message());
        showValue();
        return;
    }
    m_updating = false;
    m_dirty = true;
}

bool FieldBinding::commit() {
    if (!m_dirty || m_updating)
        return true;
    if (m_reporting)
        return false; // the message box took the focus: reported already
    QVariant value;
    try {
        value = controlValue();
    } catch (const DbError& e) {
        // The typed text stays for the user to correct; a store refuses it until then, and
        // cancelling the edit shows the stored value again.
        m_reporting = true;
        m_dialogs->error(e.message());
        m_reporting = false;
        return false;
    }
    return write(value);
}

bool FieldBinding::write(const QVariant& value) {
    Table* t = table();
    if (!t || m_updating)
        return false;
    m_dirty = false;
    try {
        if (!t->isEditing())
            t->edit();
        t->setValue(m_field, value);
    } catch (const DbError& e) {
        if (!e.message().isEmpty())
            m_dialogs->error(e.message());
        showValue();
        return false;
    }
    showValue();
    return true;
}

bool FieldBinding::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_control && event->type() == QEvent::FocusOut)
        commit();
    return QObject::eventFilter(watched, event);
}

} // namespace kilvaro
