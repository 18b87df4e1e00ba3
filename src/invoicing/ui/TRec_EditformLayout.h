#pragma once

#include <QList>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QToolButton;
class QWidget;

namespace kilvaro {

class DataSource;
class DbGrid;
class DbNavigator;
class DialogService;

/// The widgets of the invoice overview: creates them with their names, captions, hints,
/// labels and sizes, and lays them out. Holds no behaviour; the window connects and binds
/// them.
class TRec_EditformLayout {
public:
    /// Builds every widget into `window`; the grids report refused input through `dialogs`.
    void setupUi(QWidget* window, DialogService* dialogs);

    /// Shows the invoice's trips, its positions and the invoices in the three grids, with
    /// their columns' titles, masks and widths.
    void setupGrids(DataSource* trips, DataSource* positions, DataSource* invoices);

    // Top bar.
    QSpinBox* Jahredit = nullptr;
    QComboBox* Monatsbox = nullptr;
    QSpinBox* UpDown1 = nullptr;
    QCheckBox* Filtern = nullptr;
    QLineEdit* Snr = nullptr;
    QGroupBox* Bearbeiten = nullptr;
    QRadioButton* zulassen = nullptr;
    QRadioButton* nichtZulassen = nullptr;
    QGroupBox* filterbox = nullptr;
    /// The items of `filterbox`, with their position as id.
    QButtonGroup* filterGroup = nullptr;
    QList<QRadioButton*> filterItems;
    QPushButton* Button5 = nullptr;
    QPushButton* BT_Hilfe = nullptr;
    QTabWidget* Seiten = nullptr;

    // Page "Detail".
    QWidget* eingabefeld = nullptr;
    QLineEdit* recnr = nullptr;
    QLineEdit* datum = nullptr;
    QLineEdit* kundenname = nullptr;
    QLineEdit* netto = nullptr;
    QLineEdit* brutto = nullptr;
    QPlainTextEdit* textvor = nullptr;
    QRadioButton* Radiobezahlt = nullptr;
    QWidget* bezahltPanel = nullptr;
    QLineEdit* zahlungsdatum = nullptr;
    QToolButton* Kalender = nullptr;
    QComboBox* edit_Zart = nullptr;
    QToolButton* Zahlungstexte = nullptr;
    QRadioButton* Radioangezahlt = nullptr;
    QWidget* angezahltPanel = nullptr;
    QLineEdit* anzahlung = nullptr;
    QLineEdit* anzahlungD = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QLineEdit* Restbetrag = nullptr;
    QPushButton* SpeedButton2 = nullptr;
    QPushButton* SpeedButton3 = nullptr;
    QCheckBox* BigR = nullptr;
    QCheckBox* Single = nullptr;
    QCheckBox* Gebucht = nullptr;
    QCheckBox* Storniert = nullptr;
    QCheckBox* Ausgeblendet = nullptr;
    QPlainTextEdit* anzahlungen = nullptr;
    QPushButton* savebt = nullptr;
    QPushButton* getnetto = nullptr;
    QPushButton* RecAnsicht = nullptr;
    QPushButton* Drucken = nullptr;
    QPushButton* RecLoeschen = nullptr;
    QPushButton* RecStorno = nullptr;
    QPushButton* RecBuchen = nullptr;

    // Page "Fahrten-Übersicht".
    /// Date, number and funeral director of the invoice above the trips.
    QList<QLabel*> tripHeader;
    DbGrid* FahrtenGrid = nullptr;
    // Page "Rechnungs-Posten".
    DbGrid* PostenGrid = nullptr;
    DbNavigator* navi = nullptr;
    QPushButton* getnetto2 = nullptr;
    QPushButton* Einzelrechnung = nullptr;
    // Page "Rechnungs-Übersicht".
    DbGrid* UebersichtGrid = nullptr;

private:
    QHBoxLayout* buildTopBar(QWidget* window);
    QWidget* buildDetailPage(QWidget* window);
    QWidget* buildTripsPage(QWidget* window, DialogService* dialogs);
    QWidget* buildPositionsPage(QWidget* window, DialogService* dialogs);
    QWidget* buildOverviewPage(QWidget* window, DialogService* dialogs);
};

} // namespace kilvaro
