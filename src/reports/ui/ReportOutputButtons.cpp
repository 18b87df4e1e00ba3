#include "reports/ui/ReportOutputButtons.h"

#include "reports/ReportChoice.h"

#include <QDialog>

namespace kilvaro {

namespace {

QPushButton* button(QDialog* dialog, const char* name, const QString& caption,
                    const QString& hint = {}) {
    auto* b = new QPushButton(caption, dialog);
    b->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty())
        b->setToolTip(hint);
    b->setAutoDefault(false);
    b->setMinimumWidth(96);
    return b;
}

} // namespace

ReportOutputButtons ReportOutputButtons::create(QDialog* dialog,
                                                const std::function<void()>& help) {
    ReportOutputButtons b;
    b.BTMonitor = button(dialog, "BTMonitor", QStringLiteral("&Vorschau"),
                         QStringLiteral("Bericht auf Monitor ausgeben"));
    b.BTDrucker = button(dialog, "BTDrucker", QStringLiteral("&Drucken"),
                         QStringLiteral("Bericht auf Drucker ausgeben"));
    b.BTAbbruch = button(dialog, "BTAbbruch", QStringLiteral("&Abbruch"));
    b.BTHilfe = button(dialog, "BTHilfe", QStringLiteral("&Hilfe"));
    b.BTDrucker->setDefault(true);
    QObject::connect(b.BTMonitor, &QPushButton::clicked, dialog,
                     [dialog] { dialog->done(ReportResultOk); });
    QObject::connect(b.BTDrucker, &QPushButton::clicked, dialog,
                     [dialog] { dialog->done(ReportResultYes); });
    QObject::connect(b.BTAbbruch, &QPushButton::clicked, dialog,
                     [dialog] { dialog->done(ReportResultCancel); });
    QObject::connect(b.BTHilfe, &QPushButton::clicked, dialog, [help] { help(); });
    return b;
}

} // namespace kilvaro
