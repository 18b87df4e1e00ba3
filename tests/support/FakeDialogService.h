#pragma once

#include "base/DialogService.h"

#include <QList>
#include <QQueue>
#include <QStringList>

namespace kilvaro {

/// The scripted dialog service of the tests: records every message box and answers from
/// queues filled beforehand.
///
/// Message boxes with only OK are answered Ok without a script. A question (OK/Cancel,
/// Yes/No, Yes/No/Cancel) takes the next scripted answer, else the default answer if one
/// is set; with neither, the test is wrong: the fake throws std::logic_error naming the
/// question, so an unexpected question never passes silently. Inputs, file names and dates
/// with an empty queue throw the same way.
class FakeDialogService : public DialogService {
public:
    struct Message {
        QString text;
        MsgIcon icon = MsgIcon::None;
        MsgButtons buttons = MsgButtons::Ok;
        QString title;
    };

    MsgResult message(const QString& text, MsgIcon icon = MsgIcon::None,
                      MsgButtons buttons = MsgButtons::Ok, const QString& title = {}) override;
    std::optional<QString> inputText(const QString& title, const QString& prompt,
                                     const QString& initial = {}) override;
    QString openFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    std::optional<QDate> pickDate(const QDate& initial) override;

    /// The answer to the next question.
    void answerNext(MsgResult result) { m_answers.enqueue(result); }
    /// The answer to questions when no scripted answer is left; nullopt: throw.
    void setDefaultAnswer(std::optional<MsgResult> result) { m_defaultAnswer = result; }
    /// The next input box's result (nullopt: cancelled).
    void answerInput(std::optional<QString> text) { m_inputs.enqueue(std::move(text)); }
    /// The next file dialog's result (empty: cancelled).
    void answerFileName(const QString& fileName) { m_fileNames.enqueue(fileName); }
    /// The next date dialog's result (nullopt: cancelled).
    void answerDate(std::optional<QDate> date) { m_dates.enqueue(date); }

    const QList<Message>& messages() const { return m_messages; }
    /// The last message; an empty one when there was none.
    Message lastMessage() const { return m_messages.isEmpty() ? Message() : m_messages.last(); }
    /// Just the texts, for short comparisons.
    QStringList messageTexts() const;
    /// Prompts of the input boxes shown, titles of the file dialogs, initial dates.
    const QStringList& inputPrompts() const { return m_inputPrompts; }
    const QStringList& fileDialogTitles() const { return m_fileTitles; }
    const QList<QDate>& dateRequests() const { return m_dateRequests; }
    /// Scripted answers not used (a test may check that all were used).
    qsizetype pendingAnswers() const {
        return m_answers.size() + m_inputs.size() + m_fileNames.size() + m_dates.size();
    }

    /// Forgets recorded messages and scripted answers (the default answer stays).
    void clear();

private:
    QList<Message> m_messages;
    QStringList m_inputPrompts;
    QStringList m_fileTitles;
    QList<QDate> m_dateRequests;
    QQueue<MsgResult> m_answers;
    QQueue<std::optional<QString>> m_inputs;
    QQueue<QString> m_fileNames;
    QQueue<std::optional<QDate>> m_dates;
    std::optional<MsgResult> m_defaultAnswer;
};

} // namespace kilvaro
