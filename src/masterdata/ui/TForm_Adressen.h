#pragma once

#include "base/AppContext.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTabBar;

namespace kilvaro {

class ChildActivation;
class DataSource;
class DbGrid;
class TForm_Main;
class Table;

/// The address window: funeral directors or helpers, one kind at a time, in a browse grid
/// and an input panel. The main window switches the kind in place (switchMode) and sets
/// the caption. New rows, deletion and storing go through the main window's shared
/// navigator, which is bound to Adresse1 while this window is active.
class TForm_Adressen : public QWidget {
    Q_OBJECT
public:
    static constexpr int HelpContext = 6;

    TForm_Adressen(const AppContext& context, TForm_Main* main);
    ~TForm_Adressen() override;

    /// Mode switch: true shows the helpers ("Typ = 0"), false the funeral directors
    /// ("Typ = 1"); a pending edit is stored first.
    void switchMode(bool helpers);
    bool helperMode() const { return m_helpers; }

    Table* adresse() const { return Adresse; }
    DataSource* adresseSource() const { return Adresse1; }

protected:
    /// FormClose: stores a pending edit; when that is refused the window stays open.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    QLineEdit* addField(const QString& field, const QString& name, int maxLength);
    void FormCreate();
    void FormActivate();
    void FormDeactivate();
    void BearbeitenChange(int index);
    void AdresseAfterInsert(Table& table);

    AppContext m_context;
    QPointer<TForm_Main> m_main;
    Table* Adresse;
    DataSource* Adresse1;
    QTabBar* Bearbeiten = nullptr;
    DbGrid* Anzeige = nullptr;
    QFrame* Eingabefeld = nullptr;
    QLabel* InhaberLabel = nullptr;
    ChildActivation* m_activation = nullptr;
    bool m_helpers = false;
};

} // namespace kilvaro
