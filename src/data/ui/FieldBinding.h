#pragma once

#include "data/DataSource.h"
#include "data/Table.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <functional>

class QWidget;

namespace kilvaro {

class DataSource;
class DialogService;
class Table;

/// Binds one edit control to a field of a data source's table: the control shows the
/// current row's value after every move and change; what the user enters puts the table
/// into edit and is written into the field (line edits when editing is finished or the
/// row is stored, check boxes, combo boxes, date, time and number fields at once).
/// A typed text that is no value of the field's type (or too long for it) is reported
/// through the dialog service and stays in the control for the user to correct; a store
/// refuses it until then. A value the table refuses is reported and the control shows the
/// stored value again.
///
/// Supported controls: QLineEdit, QCheckBox, QComboBox (editable or not; with item data the
/// data is the value, else the text), QDateEdit, QTimeEdit, QSpinBox, QPlainTextEdit.
class FieldBinding : public QObject {
    Q_OBJECT
public:
    /// The binding belongs to the control and ends with it.
    FieldBinding(DataSource* source, const QString& field, QWidget* control,
                 DialogService* dialogs);
    static FieldBinding* bind(DataSource* source, const QString& field, QWidget* control,
                              DialogService* dialogs) {
        return new FieldBinding(source, field, control, dialogs);
    }

    QWidget* control() const { return m_control; }
    QString field() const { return m_field; }
    DataSource* dataSource() const { return m_source; }
    /// Display mask for line edits ("#,##0.00", "dd.mm.yyyy", "hh:mm").
    void setMask(const QString& mask);
    void setReadOnly(bool on);
    /// "Today" for typed dates with a two-digit year; the system date unless set.
    void setToday(std::function<QDate()> today) { m_today = std::move(today); }
    bool isReadOnly() const { return m_readOnly; }

    /// Shows the table's current value in the control.
    void showValue();
    /// Writes pending input into the field; false (after showing the message) when refused.
    bool commit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Table* table() const;
    void attachTable();
    void onSourceChange(const QString& field);
    void userStartsEditing();
    bool write(const QVariant& value);
    QVariant controlValue() const;
    QString displayText(const QVariant& value) const;
    void updateEnabled();

    QPointer<DataSource> m_source;
    QString m_field;
    QPointer<QWidget> m_control;
    DialogService* m_dialogs;
    QPointer<Table> m_table;
    QString m_mask;
    bool m_readOnly = false;
    bool m_updating = false; ///< the binding itself changes the control
    bool m_dirty = false;    ///< the user changed the control since it was shown
    bool m_reporting = false; ///< a refusal of the typed text is being shown
    std::function<QDate()> m_today;
};

} // namespace kilvaro
