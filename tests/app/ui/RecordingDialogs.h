#pragma once

#include "app/DialogService.h"

#include <QList>

/// A dialog service for the window tests: records every message and answers questions
/// with a preset result.
class RecordingDialogs : public kilvaro::DialogService {
public:
    struct Message {
        QString text;
        kilvaro::MsgIcon icon;
    };
    QList<Message> messages;
    kilvaro::MsgResult answer = kilvaro::MsgResult::Ok;

    kilvaro::MsgResult message(const QString& text, kilvaro::MsgIcon icon, kilvaro::MsgButtons,
                               const QString&) override {
        messages.append({text, icon});
        return answer;
    }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QDate> pickDate(const QDate&) override { return std::nullopt; }
};
