#pragma once

#include "base/DialogService.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QFileDialog;

namespace kilvaro {

/// The program's dialog service: Qt message boxes, input boxes and file dialogs with German
/// button texts. The window title is the application title unless a title is given.
class QtDialogService : public DialogService {
public:
    explicit QtDialogService(QWidget* parent = nullptr,
                             const QString& applicationTitle = QStringLiteral("Das Kilvaro"));

    /// The owner window of the dialogs (the main window once it exists).
    void setParent(QWidget* parent) { m_parent = parent; }
    QString applicationTitle() const { return m_title; }

    MsgResult message(const QString& text, MsgIcon icon = MsgIcon::None,
                      MsgButtons buttons = MsgButtons::Ok, const QString& title = {}) override;
    std::optional<QString> inputText(const QString& title, const QString& prompt,
                                     const QString& initial = {}) override;
    /// The filter is Qt's ("Textdateien (*.txt);;Alle Dateien (*.*)") or the old form with
    /// '|' between descriptions and patterns ("Textdateien|*.txt|Alle Dateien|*.*").
    QString openFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    /// The date dialog TKalenderform; double click or OK takes the date.
    std::optional<QDate> pickDate(const QDate& initial) override;

    /// The file dialog behind openFileName and saveFileName, not yet shown. It reads names
    /// only, never a file's content: nothing but the database engine may open the database
    /// file in this process (see the icon provider in the implementation).
    static std::unique_ptr<QFileDialog> createFileDialog(QWidget* parent, const QString& title,
                                                         const QString& folder,
                                                         const QString& filter, bool save);

    /// "Textdateien|*.txt" -> "Textdateien (*.txt)"; a Qt filter stays as it is.
    static QString qtFilter(const QString& filter);

private:
    QString titleOr(const QString& title) const { return title.isEmpty() ? m_title : title; }

    QPointer<QWidget> m_parent;
    QString m_title;
};

} // namespace kilvaro
