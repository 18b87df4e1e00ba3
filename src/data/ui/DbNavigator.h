#pragma once

#include "data/DataSource.h"

#include <QPointer>
#include <QWidget>

class QToolButton;

namespace kilvaro {

class DataSource;
class DialogService;

/// The record navigator: first, prior, next, last, insert, delete, store, cancel over the
/// table of a data source. Buttons enable themselves by the table's state and position.
/// Delete asks "Datensatz löschen?" (Yes/No) through the dialog service; engine refusals
/// are shown through it as well.
class DbNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Post, Cancel };
    Q_ENUM(Button)

    explicit DbNavigator(DialogService* dialogs, QWidget* parent = nullptr);

    void setDataSource(DataSource* source); ///< nullptr unbinds (all buttons disabled)
    DataSource* dataSource() const;
    void setButtonVisible(Button button, bool visible);
    void setAllButtonsVisible();
    QToolButton* button(Button button) const;
    /// Performs a button's action as a click would.
    void click(Button button);

signals:
    void clicked(kilvaro::DbNavigator::Button button);

private:
    void updateButtons();
    DialogService* m_dialogs;
    QPointer<DataSource> m_source;
    QList<QToolButton*> m_buttons;
};

} // namespace kilvaro
