#pragma once

#include "data/ui/ChildWindow.h"

#include <QDate>
#include <QPointer>
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QMdiSubWindow;
class QLineEdit;
class QToolBar;
class QToolButton;

namespace kilvaro {


class DataSource;
class DbGrid;
class DbNavigator;
class FieldBinding;
class Table;
class TariffOperations;

/// The tariff window: tariff groups and their dated versions with surcharges and place
/// amounts, on the shared tariff tables of the data module. The commands themselves are
/// in TariffOperations; the window asks, calls and shows.
class TForm_Tarif : public ChildWindow {
    Q_OBJECT
public:
    static constexpr int HelpContext = 5;

    TForm_Tarif(const AppContext& context, ChildHost* host, QWidget* parent = nullptr);
    ~TForm_Tarif() override;

    /// The day the validity status compares with (tests fix it); re-evaluates the status.
    void setToday(std::function<QDate()> today);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    /// Runs a command; errors are shown as error messages.
    void fillTarifbox();
    void showCurrency();

    // Handlers.
    void FormCreate();
    void FormActivate() override;
    void FormDeactivate() override;
    void FormClose();
    void TneuClick();
    void TkopieClick();
    void TloeschenClick();
    /// Prints the selected version with a title of its own.
    void TarifDruckClick();
    void ToolButton2Click();
    void OrtneuClick();
    void ortLoeschenClick();
    void SpeedButton1Click();
    /// Enter in the amount field stores the row and moves to the next place.
    void betragKeyPress();
    void TarifboxChange();
    void id_changeChange();
    void BTHilfeClick();

    TariffOperations* m_ops;
    std::function<QDate()> m_today;

    // The funeral directors of the selected version's group.
    Table* Adressen;
    DataSource* AdressenQ;

    QToolBar* ToolBar1;
    QToolButton* Tneu;
    QToolButton* Tkopie;
    QToolButton* Tloeschen;
    QToolButton* TarifDruck;
    QToolButton* ToolButton2;
    QToolButton* ToolButton5;
    QToolButton* Oloeschen;
    QToolButton* BTHilfe;
    QComboBox* Tarifbox;
    DbGrid* Hauptliste;
    QLineEdit* EditMehrwertsteuer;
    QLineEdit* EditAnkleiden;
    QLineEdit* EditNacht;
    QLineEdit* EditFeiertag;
    QLineEdit* EditKuehlung;
    QLineEdit* EditUhuelle;
    QLineEdit* editcovid19;
    QComboBox* Waehrungbox;
    QLabel* ltarif;
    QLineEdit* id_change;
    QLineEdit* DBEdit2;
    QLineEdit* betrag;
    FieldBinding* m_betragBinding = nullptr;
    QLabel* m_currency;
    DbNavigator* DBNavigator1;
    QLineEdit* erhoehung;
    QToolButton* SpeedButton1;
    DbGrid* Orteliste;
    DbGrid* DBGrid1;
};

} // namespace kilvaro
