#pragma once

#include <QDialog>
#include <QVariantList>

class QPushButton;
class QStandardItemModel;
class QTableView;

namespace kilvaro {

class Connection;

/// The trip search: lists the trips of a query the caller prepares and returns the row the
/// user chooses. The caller sets the query (backend SQL with bound values, so that what a
/// user typed never becomes part of the statement), opens it, shows the dialog modally and,
/// on OK, reads Auftragnr() of the chosen row.
class TFAuftragsuche : public QDialog {
    Q_OBJECT
public:
    explicit TFAuftragsuche(Connection* database, QWidget* parent = nullptr);

    /// The statement must return Auftragnr, Datum, personen, vorname, startort, zielort.
    void setQuery(const QString& sql, const QVariantList& binds = {});
    /// The trips of one funeral director whose surname begins with the first six characters
    /// of `surname`, ordered by date.
    void setSameOrderQuery(const QString& surname, qint64 funeralDirector);
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
    Connection* m_database;
    QString m_sql;
    QVariantList m_binds;
    QStandardItemModel* m_model;
};

} // namespace kilvaro
