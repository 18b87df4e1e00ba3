#pragma once

#include "data/ui/ChildWindow.h"

#include <QPointer>
#include <QWidget>

class QToolButton;

namespace kilvaro {

class DbGrid;
class DbNavigator;

/// The postal-code window: the table `plz` of the general data module in a grid with its
/// own navigator, and the import of codes from a text file.
class Tfplzedit : public ChildWindow {
    Q_OBJECT
public:
    Tfplzedit(const AppContext& context, ChildHost* host, QWidget* parent = nullptr);

    /// ImportClick: asks for a file and imports it (see PlzImport); the outcome is shown
    /// through the dialog service.
    void ImportClick();

    QSize sizeHint() const override { return QSize(360, 560); }

protected:
    /// FormClose: stores a pending edit (the window stays open when that is refused) and
    /// closes the table.
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();

    DbNavigator* DBNavigator1;
    DbGrid* DBGrid1;
    QToolButton* Import;
};

} // namespace kilvaro
