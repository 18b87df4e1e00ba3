#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace kilvaro {

class DialogService;

/// A small modal editor for a text file beside the program that holds a list the user
/// keeps himself, one entry per line (the payment types "z_art.txt"), in Windows-1252 with
/// CR LF. The file name is matched without regard to case.
///
/// Use it in one call:
///
///     TTextform::editFile(dialogs, programFolder + "Z_art.txt",
///                         "Zahlungsarten bearbeiten", this);
///
/// or step by step: construct, setFilePath(), load() (throws DbError), optionally
/// setWindowTitle(), exec(). OK writes the lines back and closes with Accepted; a write
/// failure is shown through the dialog service and the dialog stays open with the text.
/// Cancel (or Esc) leaves the file unchanged.
class TTextform : public QDialog {
    Q_OBJECT
public:
    explicit TTextform(DialogService* dialogs, QWidget* parent = nullptr);

    /// Loads the file, replaces the caption when `caption` is not empty, and shows the
    /// dialog modally. A missing or unreadable file is reported and the dialog is not
    /// shown. Returns true when the user stored the text with OK.
    static bool editFile(DialogService* dialogs, const QString& path, const QString& caption,
                         QWidget* parent = nullptr);

    /// The full path of the file to edit.
    void setFilePath(const QString& path);
    QString filePath() const { return m_path; }
    /// Reads the whole file into Textfeld and sets the caption "Editor - " + file name.
    /// Throws DbError with a German message when the file is missing or unreadable.
    void load();

    QPlainTextEdit* textfeld() const { return Textfeld; }

    /// Writes Textfeld back to the file and closes with OK; false (after showing the error)
    /// when the file cannot be written.
    bool OKBtnClick();

private:
    DialogService* m_dialogs;
    QString m_path;
    QPlainTextEdit* Textfeld;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QStatusBar* StatusBar1;
};

} // namespace kilvaro
