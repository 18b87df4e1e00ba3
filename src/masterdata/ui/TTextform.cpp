#include "masterdata/ui/TTextform.h"

#include "base/DialogService.h"
#include "base/DbError.h"
#include "masterdata/TextListFile.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace kilvaro {

TTextform::TTextform(DialogService* dialogs, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("Textform"));
    setWindowTitle(QStringLiteral("Rechnungstexte bearbeiten"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 0);
    Textfeld = new QPlainTextEdit(this);
    Textfeld->setObjectName(QStringLiteral("Textfeld"));
    Textfeld->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(Textfeld, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    OKBtn->setAutoDefault(false);
    CancelBtn = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    layout->addWidget(StatusBar1);

    // Enter inside the text field starts a new line; the field takes the key first.
    connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    Textfeld->setFocus();
    resize(420, 360);
}

void TTextform::setFilePath(const QString& path) {
    m_path = TextListFile::resolve(path);
}

void TTextform::load() {
    Textfeld->setPlainText(TextListFile::readText(m_path));
    setWindowTitle(QStringLiteral("Editor - ") + QFileInfo(m_path).fileName());
    Textfeld->setFocus();
}

bool TTextform::OKBtnClick() {
    try {
        TextListFile::writeText(m_path, Textfeld->toPlainText());
    } catch (const DbError& e) {
        if (m_dialogs)
            m_dialogs->error(e.message());
        return false;
    }
    accept();
    return true;
}

bool TTextform::editFile(DialogService* dialogs, const QString& path, const QString& caption,
                         QWidget* parent) {
    TTextform form(dialogs, parent);
    form.setFilePath(path);
    try {
        form.load();
    } catch (const DbError& e) {
        if (dialogs)
            dialogs->error(e.message());
        return false;
    }
    if (!caption.isEmpty())
        form.setWindowTitle(caption);
    return form.exec() == QDialog::Accepted;
}

} // namespace kilvaro
