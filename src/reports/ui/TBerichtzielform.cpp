#include "reports/ui/TBerichtzielform.h"

#include "base/ui/HelpViewer.h"
#include "reports/ui/ReportOutputButtons.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kilvaro {

TBerichtzielform::TBerichtzielform(const AppContext& context, QWidget* parent)
    : QDialog(parent), m_context(context) {
    setObjectName(QStringLiteral("Berichtzielform"));
    setWindowTitle(QStringLiteral("Bericht erstellen"));

    Titelbox = new QGroupBox(QStringLiteral("Berichttitel"), this);
    Titelbox->setObjectName(QStringLiteral("Titelbox"));
    Titel = new QLineEdit(Titelbox);
    Titel->setObjectName(QStringLiteral("Titel"));
    Titel->setToolTip(QStringLiteral("Überschrift für den Bericht eingeben."));
    Titel->setMinimumWidth(320);
    auto* titleLayout = new QVBoxLayout(Titelbox);
    titleLayout->addWidget(Titel);

    const auto out = ReportOutputButtons::create(this, [this] { BTHilfeClick(); });
    BTMonitor = out.BTMonitor;
    BTDrucker = out.BTDrucker;
    BTAbbruch = out.BTAbbruch;
    BTHilfe = out.BTHilfe;

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BTHilfe);
    buttons->addStretch();
    buttons->addWidget(BTMonitor);
    buttons->addWidget(BTDrucker);
    buttons->addWidget(BTAbbruch);
    auto* main = new QVBoxLayout(this);
    main->addWidget(Titelbox);
    main->addSpacing(4);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

void TBerichtzielform::preset(const QString& caption, const QString& title) {
    setWindowTitle(caption);
    Titel->setText(title);
}

ReportChoice TBerichtzielform::showModal() {
    Titel->setFocus();
    Titel->selectAll();
    return reportChoiceOf(exec());
}

QString TBerichtzielform::title() const {
    return Titel->text();
}

void TBerichtzielform::BTHilfeClick() {
    if (m_help) {
        m_help(HelpContext);
        return;
    }
    HelpViewer::showFor(this, m_context.programFolder, HelpContext);
}

} // namespace kilvaro
