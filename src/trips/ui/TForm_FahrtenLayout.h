#pragma once

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabBar;
class QToolButton;
class QWidget;

namespace kilvaro {

class DbGrid;
class DialogService;

/// The widgets of the trip window "Überführung" and how they are laid out: the top bar with
/// the month selector and the command buttons, the trip grid with the overlay lists, and
/// the tabs with the input panel. Names, captions, hints, buddies, tab order and sizes are
/// set here; binding, signals and behaviour belong to TForm_Fahrten.
class TForm_FahrtenLayout {
public:
    /// Builds every widget into `window`. The grids report through `dialogs`.
    void setupUi(QWidget* window, DialogService* dialogs);

    // Top bar.
    QCheckBox* Filtern = nullptr;
    QComboBox* Monatedit = nullptr;
    QSpinBox* UpDown2 = nullptr;
    QLineEdit* Jahredit = nullptr;
    QSpinBox* UpDown1 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BTRechnung = nullptr;
    QPushButton* BTHilfe = nullptr;
    QPushButton* BitBtn4 = nullptr;
    // Grid and overlay lists.
    DbGrid* suchgitter = nullptr;
    DbGrid* Ortesuchliste = nullptr;
    DbGrid* Preislistegitter = nullptr;
    QLabel* ListHint = nullptr;
    // Tabs and input panel.
    QTabBar* Control = nullptr;
    QWidget* Eingabefeld = nullptr;
    QLabel* DBText4 = nullptr;
    QLabel* LRechnung = nullptr;
    QLabel* DBText1 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QLineEdit* EditDatum = nullptr;
    QLineEdit* editZeit = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QComboBox* Bcombo = nullptr;
    QLineEdit* EditStartort = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* PreislisteButton = nullptr;
    QLineEdit* EditZielort = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QComboBox* DBComboBox1 = nullptr;
    QLineEdit* DBEdit2 = nullptr;
    QLineEdit* EditPersonen = nullptr;
    QLineEdit* EditStrasse = nullptr;
    QLineEdit* editPLZ = nullptr;
    QLineEdit* DBEdit4 = nullptr;
    QComboBox* Aushilfecombo = nullptr;
    QLineEdit* EditOrtspauschale = nullptr;
    QLineEdit* EditAnkleiden = nullptr;
    QLineEdit* EditNacht = nullptr;
    QLineEdit* EditFeiertag = nullptr;
    QLineEdit* EditKuehlung = nullptr;
    QLineEdit* EditUhuelle = nullptr;
    QLineEdit* EditCovid19 = nullptr;
    QGroupBox* Pauschalen = nullptr;
    QPushButton* Ankleiden = nullptr;
    QPushButton* Nacht = nullptr;
    QPushButton* Feiertag = nullptr;
    QPushButton* kuehlung = nullptr;
    QPushButton* UHuelle = nullptr;
    QPushButton* Covid19 = nullptr;
    QLineEdit* DBEdit3 = nullptr;
    QLineEdit* DBEdit5 = nullptr;
    QLineEdit* DBEdit8 = nullptr;
    QToolButton* AnrZuordnen = nullptr;
    QToolButton* VKsetzen = nullptr;
    QToolButton* anrsetzen = nullptr;
    QCheckBox* DBCheckBox1 = nullptr;
    QCheckBox* chkanr = nullptr;
    QToolButton* SpeedButton5 = nullptr;
    QLabel* DBText3 = nullptr;
    QLabel* DBText2 = nullptr;
    QToolButton* SpeedButton6 = nullptr;
    QLineEdit* DBEdit1 = nullptr;

private:
    QWidget* buildTopBar(QWidget* window);
    QWidget* buildPanel(QWidget* window);
};

} // namespace kilvaro
