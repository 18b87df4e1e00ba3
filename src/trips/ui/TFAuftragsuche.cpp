#include "trips/ui/TFAuftragsuche.h"

#include "data/Connection.h"
#include "data/StoredValue.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace kilvaro {

namespace {

/// A LIKE pattern that matches texts beginning with `prefix` literally.
QString prefixPattern(const QString& prefix) {
    QString p = prefix;
    p.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    p.replace(QLatin1Char('%'), QLatin1String("\\%"));
    p.replace(QLatin1Char('_'), QLatin1String("\\_"));
    return p + QLatin1Char('%');
}

} // namespace

TFAuftragsuche::TFAuftragsuche(Connection* database, QWidget* parent)
    : QDialog(parent, Qt::Tool), m_database(database), m_model(new QStandardItemModel(this)) {
    setObjectName(QStringLiteral("FAuftragsuche"));
    setWindowTitle(QStringLiteral("Fahrt suchen"));
    auto* layout = new QVBoxLayout(this);

    m_model->setHorizontalHeaderLabels({QStringLiteral("Auftragnr"), QStringLiteral("Datum"),
                                        QStringLiteral("personen"), QStringLiteral("vorname"),
                                        QStringLiteral("startort"), QStringLiteral("zielort")});
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(m_model);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(DBGrid1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Abbruch"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    layout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(DBGrid1, &QTableView::doubleClicked, this, &QDialog::accept);
    resize(620, 320);

    setQuery(QStringLiteral("SELECT Auftragnr, Datum, personen, vorname, startort, zielort "
                            "FROM Fahrten ORDER BY personen"));
}

void TFAuftragsuche::setQuery(const QString& sql, const QVariantList& binds) {
    m_sql = sql;
    m_binds = binds;
}

void TFAuftragsuche::setSameOrderQuery(const QString& surname, qint64 funeralDirector) {
    setQuery(QStringLiteral("SELECT Auftragnr, Datum, personen, vorname, startort, zielort "
                            "FROM Fahrten WHERE personen LIKE ? ESCAPE '\\' AND bestatter = ? "
                            "ORDER BY Datum"),
             {prefixPattern(surname.left(6)), funeralDirector});
}

void TFAuftragsuche::open() {
    QSqlQuery q = m_database->exec(m_sql, m_binds);
    m_model->removeRows(0, m_model->rowCount());
    while (q.next()) {
        QList<QStandardItem*> items;
        const qint64 number = q.value(0).toLongLong();
        auto* first = new QStandardItem(q.value(0).isNull() ? QString() : QString::number(number));
        first->setData(number, Qt::UserRole);
        items << first;
        const QDateTime date = stored::fromDb(q.value(1), ColumnType::DateTime).toDateTime();
        items << new QStandardItem(date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy"))
                                                  : QString());
        for (int c = 2; c < 6; ++c)
            items << new QStandardItem(q.value(c).toString());
        m_model->appendRow(items);
    }
    DBGrid1->resizeColumnsToContents();
    selectRow(m_model->rowCount() > 0 ? 0 : -1);
}

int TFAuftragsuche::rowCount() const {
    return m_model->rowCount();
}

void TFAuftragsuche::selectRow(int row) {
    if (row < 0 || row >= m_model->rowCount()) {
        DBGrid1->clearSelection();
        DBGrid1->setCurrentIndex(QModelIndex());
        return;
    }
    DBGrid1->selectRow(row);
    DBGrid1->setCurrentIndex(m_model->index(row, 0));
}

qint64 TFAuftragsuche::Auftragnr() const {
    const QModelIndex current = DBGrid1->currentIndex();
    if (!current.isValid())
        return 0;
    return m_model->index(current.row(), 0).data(Qt::UserRole).toLongLong();
}

} // namespace kilvaro
