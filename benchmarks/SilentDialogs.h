#pragma once

#include "base/DialogService.h"

namespace kilvaro {

/// Answers every question with Yes and otherwise stays silent, so a measurement never waits
/// for a dialog.
class SilentDialogs : public DialogService {
public:
    MsgResult message(const QString&, MsgIcon, MsgButtons buttons, const QString&) override {
        return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
    }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QDate> pickDate(const QDate&) override { return std::nullopt; }
};

} // namespace kilvaro
