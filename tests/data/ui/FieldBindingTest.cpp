#include "support/FakeDialogService.h"
#include "support/TableTestDb.h"

#include "data/DataSource.h"
#include "base/DbError.h"
#include "data/Table.h"
#include "data/ui/FieldBinding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <QtTest>

using namespace kilvaro;
using namespace kilvaro::testing;

class FieldBindingTest : public QObject {
    Q_OBJECT
private:
    static QVariant scalar(Connection& c, const QString& sql) {
        QSqlQuery q = c.exec(sql);
        return q.next() ? q.value(0) : QVariant();
    }

private slots:
    void roundTrip() {
        TableTestDb db;
        db->exec(
            QStringLiteral("INSERT INTO Fahrten (Datum, Zeit, Personen, Ortspauschale, Gutschrift, "
                           "Anrede, Bestatter, Startort) VALUES ('2021-03-15 00:00:00', "
                           "'1899-12-30 14:30:00', 'Meier', 1234.5, 1, 'Frau', 7, 'Bonn')"));
        db->exec(QStringLiteral(
            "INSERT INTO Fahrten (Datum, Personen) VALUES ('2021-03-16 00:00:00', 'Schulz')"));
        Table t(&db.conn(), QStringLiteral("Fahrten"));
        t.setOrder(QStringLiteral("[Datum] ASC"));
        t.open();
        DataSource source(&t);
        FakeDialogService dialogs;

        QWidget form;
        auto* layout = new QVBoxLayout(&form);
        auto* name = new QLineEdit;
        auto* amount = new QLineEdit;
        auto* credit = new QCheckBox;
        auto* salutation = new QComboBox;
        salutation->addItems(
            {QStringLiteral("Herr"), QStringLiteral("Frau"), QStringLiteral("Kind")});
        auto* date = new QDateEdit;
        auto* time = new QTimeEdit;
        auto* director = new QSpinBox;
        director->setRange(0, 1000);
        auto* start = new QPlainTextEdit;
        for (QWidget* w : std::initializer_list<QWidget*>{name, amount, credit, salutation, date,
                                                          time, director, start})
            layout->addWidget(w);
        FieldBinding::bind(&source, QStringLiteral("Personen"), name, &dialogs);
        FieldBinding::bind(&source, QStringLiteral("Ortspauschale"), amount, &dialogs);
        FieldBinding::bind(&source, QStringLiteral("Gutschrift"), credit, &dialogs);
        FieldBinding::bind(&source, QStringLiteral("Anrede"), salutation, &dialogs);
        FieldBinding::bind(&source, QStringLiteral("Datum"), date, &dialogs);
        FieldBinding::bind(&source, QStringLiteral("Zeit"), time, &dialogs);
        FieldBinding::bind(&source, QStringLiteral("Bestatter"), director, &dialogs);
        FieldBinding::bind(&source, QStringLiteral("Startort"), start, &dialogs);
        form.show();

        QCOMPARE(name->text(), QStringLiteral("Meier"));
        QCOMPARE(amount->text(), QStringLiteral("1.234,50"));
        QVERIFY(credit->isChecked());
        QCOMPARE(salutation->currentText(), QStringLiteral("Frau"));
        QCOMPARE(date->date(), QDate(2021, 3, 15));
        QCOMPARE(time->time(), QTime(14, 30));
        QCOMPARE(director->value(), 7);
        QCOMPARE(start->toPlainText(), QStringLiteral("Bonn"));

        t.next();
        QCOMPARE(name->text(), QStringLiteral("Schulz"));
        QCOMPARE(amount->text(), QString());
        QVERIFY(!credit->isChecked());
        t.prior();

        // Typing puts the table into edit; the text is written when editing finishes.
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("Lange"));
        QCOMPARE(t.state(), TableState::Edit);
        QCOMPARE(name->text(), QStringLiteral("Lange"));
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(t.value(QStringLiteral("Personen")).toString(), QStringLiteral("Lange"));

        credit->click();
        QCOMPARE(t.value(QStringLiteral("Gutschrift")).toBool(), false);
        salutation->setCurrentIndex(0);
        emit salutation->activated(0);
        QCOMPARE(t.value(QStringLiteral("Anrede")).toString(), QStringLiteral("Herr"));
        director->setValue(9);
        QCOMPARE(t.value(QStringLiteral("Bestatter")).toInt(), 9);
        date->setDate(QDate(2021, 4, 1));
        QCOMPARE(t.value(QStringLiteral("Datum")).toDateTime(),
                 QDateTime(QDate(2021, 4, 1), QTime(0, 0)));

        // A wrong number is reported and stays in the field for the user to correct.
        amount->setFocus();
        amount->selectAll();
        QTest::keyClicks(amount, QStringLiteral("abc"));
        QTest::keyClick(amount, Qt::Key_Return);
        QCOMPARE(dialogs.messages().size(), 1);
        QCOMPARE(dialogs.messages().first().icon, MsgIcon::Error);
        QCOMPARE(amount->text(), QStringLiteral("abc"));
        QCOMPARE(t.value(QStringLiteral("Ortspauschale")).toDouble(), 1234.5);

        // Typed but not confirmed: the store writes it all the same.
        start->setFocus();
        start->setPlainText(QStringLiteral("Köln"));
        amount->selectAll();
        QTest::keyClicks(amount, QStringLiteral("99,5"));
        t.post();
        QCOMPARE(scalar(db.conn(), QStringLiteral("SELECT Personen FROM Fahrten WHERE rowid = 1"))
                     .toString(),
                 QStringLiteral("Lange"));
        QCOMPARE(
            scalar(db.conn(), QStringLiteral("SELECT Ortspauschale FROM Fahrten WHERE rowid = 1"))
                .toDouble(),
            99.5);
        QCOMPARE(scalar(db.conn(), QStringLiteral("SELECT Startort FROM Fahrten WHERE rowid = 1"))
                     .toString(),
                 QStringLiteral("Köln"));
        QCOMPARE(scalar(db.conn(), QStringLiteral("SELECT Anrede FROM Fahrten WHERE rowid = 1"))
                     .toString(),
                 QStringLiteral("Herr"));
        QCOMPARE(amount->text(), QStringLiteral("99,50"));
    }

    // A text longer than its column is refused where it is typed: by the field when editing
    // ends, and by the store when it was never confirmed. The row stays in edit, the file
    // keeps its old text, and a stored text that is already longer is left alone.
    void tooLongTextIsRefusedAndNothingStored() {
        TableTestDb db;
        const QString legacy(60, QLatin1Char('L'));
        db->exec(QStringLiteral("INSERT INTO Fahrten (Personen, Ort) VALUES ('Meier', ?)"),
                 {legacy});
        Table t(&db.conn(), QStringLiteral("Fahrten"));
        t.open();
        DataSource source(&t);
        FakeDialogService dialogs;
        QWidget form;
        auto* layout = new QVBoxLayout(&form);
        auto* persons = new QLineEdit;
        auto* place = new QLineEdit;
        auto* start = new QPlainTextEdit;
        layout->addWidget(persons);
        layout->addWidget(place);
        layout->addWidget(start);
        FieldBinding::bind(&source, QStringLiteral("Personen"), persons, &dialogs);
        FieldBinding::bind(&source, QStringLiteral("Ort"), place, &dialogs);
        FieldBinding::bind(&source, QStringLiteral("Startort"), start, &dialogs);
        form.show();
        QCOMPARE(place->text(), legacy);

        persons->setFocus();
        persons->selectAll();
        QTest::keyClicks(persons, QString(51, QLatin1Char('x')));
        QTest::keyClick(persons, Qt::Key_Return);
        QCOMPARE(dialogs.messages().size(), 1);
        QCOMPARE(dialogs.lastMessage().text,
                 QStringLiteral("Der Text für 'Personen' ist zu lang: höchstens 50 Zeichen, "
                                "eingegeben sind 51."));
        QCOMPARE(persons->text(), QString(51, QLatin1Char('x')));
        QCOMPARE(t.value(QStringLiteral("Personen")).toString(), QStringLiteral("Meier"));
        QCOMPARE(t.state(), TableState::Edit);

        // Exactly the column size is fine; the over-long stored place is not re-checked.
        persons->selectAll();
        QTest::keyClicks(persons, QString(50, QLatin1Char('y')));
        QTest::keyClick(persons, Qt::Key_Return);
        QCOMPARE(dialogs.messages().size(), 1);

        // Never confirmed: the store itself refuses.
        start->setFocus();
        start->setPlainText(QString(80, QLatin1Char('s')));
        QVERIFY_THROWS_EXCEPTION(DbError, t.post());
        QCOMPARE(t.state(), TableState::Edit);
        QCOMPARE(scalar(db.conn(), QStringLiteral("SELECT Personen FROM Fahrten")).toString(),
                 QStringLiteral("Meier"));
        start->setPlainText(QStringLiteral("Bonn"));
        t.post();
        QCOMPARE(scalar(db.conn(), QStringLiteral("SELECT Personen FROM Fahrten")).toString(),
                 QString(50, QLatin1Char('y')));
        QCOMPARE(scalar(db.conn(), QStringLiteral("SELECT Ort FROM Fahrten")).toString(), legacy);
    }

    void readOnlyWithoutTable() {
        FakeDialogService dialogs;
        DataSource source;
        QLineEdit edit;
        QCheckBox box;
        FieldBinding::bind(&source, QStringLiteral("Name"), &edit, &dialogs);
        FieldBinding::bind(&source, QStringLiteral("Aktiv"), &box, &dialogs);
        QVERIFY(edit.isReadOnly());
        QVERIFY(!box.isEnabled());
    }
};

QTEST_MAIN(FieldBindingTest)
#include "FieldBindingTest.moc"
