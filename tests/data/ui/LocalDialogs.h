#pragma once

#include "app/DialogService.h"

#include <QStringList>

namespace kilvaro::testing {

/// A minimal scripted dialog service for the data widget tests: records every message and
/// answers questions with the next scripted answer (Yes when none is left).
class LocalDialogs : public DialogService {
public:
    QStringList messages;
    QList<MsgIcon> icons;
    QList<MsgResult> answers;

    MsgResult message(const QString& text, MsgIcon icon, MsgButtons buttons,
                      const QString&) override {
        messages << text;
        icons << icon;
        if (buttons == MsgButtons::Ok)
            return MsgResult::Ok;
        return answers.isEmpty() ? MsgResult::Yes : answers.takeFirst();
    }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QDate> pickDate(const QDate&) override { return std::nullopt; }
};

} // namespace kilvaro::testing
