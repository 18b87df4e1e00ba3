#include "trips/ui/TFAuftragsuche.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace kilvaro {

TFAuftragsuche::TFAuftragsuche(Connection* database, QWidget* parent)
    : QDialog(parent, Qt::Tool), m_search(database), m_model(new QStandardItemModel(this)) {
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
}

void TFAuftragsuche::setQuery(const QString& sql, const QVariantList& binds) {
    m_search.setQuery(sql, binds);
}

void TFAuftragsuche::setSameOrderQuery(const QString& surname, qint64 funeralDirector) {
    m_search.setSameOrder(surname, funeralDirector);
}

void TFAuftragsuche::open() {
    const QList<TripSearch::Row> rows = m_search.run();
    m_model->removeRows(0, m_model->rowCount());
    for (const TripSearch::Row& row : rows) {
        auto* number = new QStandardItem(row.auftragNr.toString());
        number->setData(row.auftragNr.toLongLong(), Qt::UserRole);
        m_model->appendRow({number,
                            new QStandardItem(row.datum.isValid()
                                                  ? row.datum.toString(QStringLiteral("dd.MM.yyyy"))
                                                  : QString()),
                            new QStandardItem(row.personen), new QStandardItem(row.vorname),
                            new QStandardItem(row.startort), new QStandardItem(row.zielort)});
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
