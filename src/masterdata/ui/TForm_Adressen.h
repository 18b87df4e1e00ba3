#pragma once

#include "data/ui/ChildWindow.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTabBar;

namespace kilvaro {

class DataSource;
class DbGrid;
class Table;

/// The address window: funeral directors or helpers, one kind at a time, in a browse grid
/// and an input panel. The main window switches the kind in place (switchMode) and sets
/// the caption. New rows, deletion and storing go through the main window's shared
/// navigator, which is bound to Adresse1 while this window is active.
class TForm_Adressen : public ChildWindow {
    Q_OBJECT
public:
    static constexpr int HelpContext = 6;

    TForm_Adressen(const AppContext& context, ChildHost* host, QWidget* parent = nullptr);
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
    void FormActivate() override;
    void FormDeactivate() override;
    void BearbeitenChange(int index);
    void AdresseAfterInsert(Table& table);

    Table* Adresse;
    DataSource* Adresse1;
    QTabBar* Bearbeiten = nullptr;
    DbGrid* Anzeige = nullptr;
    QFrame* Eingabefeld = nullptr;
    QLabel* InhaberLabel = nullptr;
    bool m_helpers = false;
};

} // namespace kilvaro
