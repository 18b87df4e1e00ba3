#pragma once

#include "trips/TripSearch.h"

#include <QDialog>
#include <QVariantList>

class QPushButton;
class QStandardItemModel;
class QTableView;

namespace kilvaro {

class Connection;

/// The trip search: lists the trips of a query the caller prepares (a TripSearch) and
/// returns the row the user chooses. The caller sets the query, opens it, shows the dialog
/// modally and, on OK, reads Auftragnr() of the chosen row.
class TFAuftragsuche : public QDialog {
    Q_OBJECT
public:
    explicit TFAuftragsuche(Connection* database, QWidget* parent = nullptr);

    /// See TripSearch::setQuery.
    void setQuery(const QString& sql, const QVariantList& binds = {});
    /// See TripSearch::setSameOrder.
    void setSameOrderQuery(const QString& surname, qint64 funeralDirector);
    /// The query the list shows.
    TripSearch& query() { return m_search; }
    /// Runs the query and fills the list (the first row selected). Throws DbError.
    void open();

    int rowCount() const;
    /// Selects a row of the list (-1: none).
    void selectRow(int row);
    /// Auftragnr of the selected row; 0 when the list is empty or nothing is selected.
    qint64 Auftragnr() const;

    QTableView* DBGrid1;
    QPushButton* Button1;
    QPushButton* Button2;

private:
    TripSearch m_search;
    QStandardItemModel* m_model;
};

} // namespace kilvaro
