#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace kilvaro {

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, Cancel, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

/// Every message box, question, input box, file dialog and the date dialog of the program
/// goes through this interface: the program uses the Qt implementation, tests a scripted
/// fake that answers questions and records every message.
class DialogService {
public:
    virtual ~DialogService() = default;

    /// A modal message box; returns the button chosen.
    virtual MsgResult message(const QString& text, MsgIcon icon = MsgIcon::None,
                              MsgButtons buttons = MsgButtons::Ok, const QString& title = {}) = 0;
    /// An input box; nullopt when cancelled.
    virtual std::optional<QString> inputText(const QString& title, const QString& prompt,
                                             const QString& initial = {}) = 0;
    /// File dialogs; empty when cancelled.
    virtual QString openFileName(const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    /// The date dialog; nullopt when cancelled.
    virtual std::optional<QDate> pickDate(const QDate& initial) = 0;

    // Shorthands.
    void information(const QString& text) { message(text, MsgIcon::Information); }
    void warning(const QString& text) { message(text, MsgIcon::Warning); }
    void error(const QString& text) { message(text, MsgIcon::Error); }
    /// Yes/No question with the question symbol; true for Yes.
    bool confirm(const QString& text, MsgIcon icon = MsgIcon::Question) {
        return message(text, icon, MsgButtons::YesNo) == MsgResult::Yes;
    }
};

} // namespace kilvaro
