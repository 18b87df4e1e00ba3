#include "base/ui/QtDialogService.h"

#include "base/ui/TKalenderform.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QTemporaryDir>

namespace kilvaro {

namespace {

QMessageBox::Icon qtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Cancel:
        return QMessageBox::Cancel;
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

void germanTexts(QMessageBox& box) {
    const struct {
        QMessageBox::StandardButton button;
        const char* text;
    } texts[] = {{QMessageBox::Ok, "OK"},
                 {QMessageBox::Cancel, "Abbrechen"},
                 {QMessageBox::Yes, "&Ja"},
                 {QMessageBox::No, "&Nein"}};
    for (const auto& t : texts) {
        if (QAbstractButton* b = box.button(t.button))
            b->setText(QString::fromUtf8(t.text));
    }
}

/// A short message would make a box so narrow that the window manager cuts its title
/// ("Das…varo"); the box is at least as wide as its title and the title bar's buttons.
void keepTitleReadable(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + 160;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

/// Icons and type names from the name alone. The stock provider asks the MIME database,
/// which opens and closes every file the dialog lists to read its first bytes; closing any
/// handle on the database file drops every POSIX lock the engine holds on it in this
/// process, and another instance then deletes the WAL file under our feet.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo& info) const override {
        return QFileIconProvider::icon(info.isDir() ? QFileIconProvider::Folder
                                                    : QFileIconProvider::File);
    }
    QString type(const QFileInfo& info) const override {
        if (info.isDir())
            return QStringLiteral("Ordner");
        return info.suffix().isEmpty() ? QStringLiteral("Datei")
                                       : info.suffix().toUpper() + QStringLiteral("-Datei");
    }
};

NameOnlyIconProvider& nameOnlyIcons() {
    static NameOnlyIconProvider provider;
    return provider;
}

} // namespace

std::unique_ptr<QFileDialog> QtDialogService::createFileDialog(QWidget* parent,
                                                               const QString& title,
                                                               const QString& folder,
                                                               const QString& filter, bool save) {
    // The dialog starts listing the folder it is constructed with at once, on a thread of its
    // own, still with the stock icon provider: it is built on an empty folder and turned to
    // the wanted one only once it reads nothing but names.
    const QTemporaryDir empty;
    auto dialog = std::make_unique<QFileDialog>(parent, title,
                                                empty.isValid() ? empty.path() : QDir::rootPath(),
                                                qtFilter(filter));
    // The platform's own dialog would sniff file contents in this process, out of our reach.
    dialog->setOptions(QFileDialog::DontUseNativeDialog |
                       QFileDialog::DontUseCustomDirectoryIcons);
    dialog->setIconProvider(&nameOnlyIcons());
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setLabelText(QFileDialog::Accept,
                         save ? QStringLiteral("&Speichern") : QStringLiteral("Ö&ffnen"));
    dialog->setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
    dialog->setDirectory(folder.isEmpty() ? QDir::currentPath() : folder);
    dialog->setHistory({}); // "back" must not lead into the empty folder
    return dialog;
}

QtDialogService::QtDialogService(QWidget* parent, const QString& applicationTitle)
    : m_parent(parent), m_title(applicationTitle) {}

MsgResult QtDialogService::message(const QString& text, MsgIcon icon, MsgButtons buttons,
                                   const QString& title) {
    QMessageBox box(qtIcon(icon), titleOr(title), text, qtButtons(buttons), m_parent);
    germanTexts(box);
    keepTitleReadable(box);
    switch (buttons) {
    case MsgButtons::Ok:
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case MsgButtons::YesNo:
        // Escape answers No, as the close button of such a box did.
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    case MsgButtons::Cancel:
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel:
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    default:
        return MsgResult::Ok;
    }
}

std::optional<QString> QtDialogService::inputText(const QString& title, const QString& prompt,
                                                  const QString& initial) {
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(titleOr(title));
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QString QtDialogService::qtFilter(const QString& filter) {
    if (!filter.contains(u'|'))
        return filter;
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        QString patterns = parts.at(i + 1).trimmed();
        patterns.replace(u';', u' ');
        result.append(description.contains(u'(')
                          ? description
                          : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return result.join(QStringLiteral(";;"));
}

QString QtDialogService::openFileName(const QString& title, const QString& folder,
                                      const QString& filter) {
    const auto dialog = createFileDialog(m_parent, titleOr(title), folder, filter, false);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().constFirst();
}

QString QtDialogService::saveFileName(const QString& title, const QString& folder,
                                      const QString& filter) {
    const auto dialog = createFileDialog(m_parent, titleOr(title), folder, filter, true);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().constFirst();
}

std::optional<QDate> QtDialogService::pickDate(const QDate& initial) {
    TKalenderform dialog(m_parent);
    dialog.setDate(initial);
    dialog.exec();
    if (dialog.resultText().isEmpty())
        return std::nullopt;
    return QDate::fromString(dialog.resultText(), QStringLiteral("dd.MM.yyyy"));
}

} // namespace kilvaro
