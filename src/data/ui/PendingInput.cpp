#include "data/ui/PendingInput.h"

#include "base/DbError.h"
#include "data/ui/DbGrid.h"
#include "data/ui/FieldBinding.h"

#include <QWidget>

namespace kilvaro {

void commitPendingInput(QWidget* scope) {
    if (!scope)
        return;
    QList<QWidget*> widgets = scope->findChildren<QWidget*>();
    widgets.prepend(scope);
    for (QWidget* w : widgets) {
        if (auto* grid = qobject_cast<DbGrid*>(w))
            grid->commitOpenEditor();
        for (FieldBinding* binding : w->findChildren<FieldBinding*>(Qt::FindDirectChildrenOnly))
            if (!binding->commit())
                throw AbortError();
    }
}

} // namespace kilvaro
