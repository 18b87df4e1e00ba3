#include "support/FakeDialogService.h"

#include <stdexcept>

namespace kilvaro {

namespace {
[[noreturn]] void unscripted(const QString& what) {
    throw std::logic_error(
        QStringLiteral("FakeDialogService: nothing scripted for %1").arg(what).toStdString());
}
} // namespace

MsgResult FakeDialogService::message(const QString& text, MsgIcon icon, MsgButtons buttons,
                                     const QString& title) {
    m_messages.append({text, icon, buttons, title});
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    // A box with a single button is a statement, not a question.
    if (buttons == MsgButtons::Ok)
        return MsgResult::Ok;
    if (buttons == MsgButtons::Cancel)
        return MsgResult::Cancel;
    if (m_defaultAnswer)
        return *m_defaultAnswer;
    unscripted(QStringLiteral("the question \"%1\"").arg(text));
}

std::optional<QString> FakeDialogService::inputText(const QString& title, const QString& prompt,
                                                    const QString& initial) {
    Q_UNUSED(title);
    Q_UNUSED(initial);
    m_inputPrompts.append(prompt);
    if (m_inputs.isEmpty())
        unscripted(QStringLiteral("the input \"%1\"").arg(prompt));
    return m_inputs.dequeue();
}

QString FakeDialogService::openFileName(const QString& title, const QString& folder,
                                        const QString& filter) {
    Q_UNUSED(folder);
    Q_UNUSED(filter);
    m_fileTitles.append(title);
    if (m_fileNames.isEmpty())
        unscripted(QStringLiteral("the file dialog \"%1\"").arg(title));
    return m_fileNames.dequeue();
}

QString FakeDialogService::saveFileName(const QString& title, const QString& folder,
                                        const QString& filter) {
    return openFileName(title, folder, filter);
}

std::optional<QDate> FakeDialogService::pickDate(const QDate& initial) {
    m_dateRequests.append(initial);
    if (m_dates.isEmpty())
        unscripted(QStringLiteral("the date dialog"));
    return m_dates.dequeue();
}

QStringList FakeDialogService::messageTexts() const {
    QStringList texts;
    for (const Message& m : m_messages)
        texts.append(m.text);
    return texts;
}

void FakeDialogService::clear() {
    m_messages.clear();
    m_inputPrompts.clear();
    m_fileTitles.clear();
    m_dateRequests.clear();
    m_answers.clear();
    m_inputs.clear();
    m_fileNames.clear();
    m_dates.clear();
}

} // namespace kilvaro
