#include "support/FakeDialogService.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace kilvaro;

TEST(FakeDialogService, RecordsMessagesAndAnswersInOrder) {
    FakeDialogService dialogs;
    dialogs.information(QStringLiteral("Hinweis"));
    dialogs.answerNext(MsgResult::No);
    dialogs.answerNext(MsgResult::Yes);
    EXPECT_FALSE(dialogs.confirm(QStringLiteral("Löschen?")));
    EXPECT_EQ(dialogs.message(QStringLiteral("Wirklich?"), MsgIcon::Warning,
                              MsgButtons::YesNoCancel, QStringLiteral("Titel")),
              MsgResult::Yes);
    ASSERT_EQ(dialogs.messages().size(), 3);
    EXPECT_EQ(dialogs.messages().at(0).icon, MsgIcon::Information);
    EXPECT_EQ(dialogs.messages().at(1).buttons, MsgButtons::YesNo);
    EXPECT_EQ(dialogs.messages().at(1).icon, MsgIcon::Question);
    EXPECT_EQ(dialogs.lastMessage().title, QStringLiteral("Titel"));
    EXPECT_EQ(dialogs.pendingAnswers(), 0);
    dialogs.clear();
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_TRUE(dialogs.lastMessage().text.isEmpty());
}

TEST(FakeDialogService, UnscriptedQuestionsFailLoudlyUnlessADefaultIsSet) {
    FakeDialogService dialogs;
    EXPECT_EQ(dialogs.message(QStringLiteral("OK-Box")), MsgResult::Ok);
    EXPECT_THROW(dialogs.confirm(QStringLiteral("Frage?")), std::logic_error);
    EXPECT_THROW(dialogs.inputText(QStringLiteral("T"), QStringLiteral("Wert:")), std::logic_error);
    EXPECT_THROW(dialogs.openFileName(QStringLiteral("Öffnen"), {}, {}), std::logic_error);
    EXPECT_THROW(dialogs.pickDate(QDate(2021, 1, 1)), std::logic_error);
    dialogs.setDefaultAnswer(MsgResult::Yes);
    EXPECT_TRUE(dialogs.confirm(QStringLiteral("Frage?")));
}

TEST(FakeDialogService, InputsFileNamesAndDates) {
    FakeDialogService dialogs;
    dialogs.answerInput(QStringLiteral("42"));
    dialogs.answerInput(std::nullopt);
    dialogs.answerFileName(QStringLiteral("/tmp/a.txt"));
    dialogs.answerDate(QDate(2021, 3, 15));
    EXPECT_EQ(dialogs.inputText(QStringLiteral("T"), QStringLiteral("Nummer:")),
              std::optional<QString>(QStringLiteral("42")));
    EXPECT_FALSE(dialogs.inputText(QStringLiteral("T"), QStringLiteral("Name:")).has_value());
    EXPECT_EQ(dialogs.saveFileName(QStringLiteral("Speichern"), {}, {}),
              QStringLiteral("/tmp/a.txt"));
    EXPECT_EQ(dialogs.pickDate(QDate(2021, 1, 1)), std::optional<QDate>(QDate(2021, 3, 15)));
    EXPECT_EQ(dialogs.inputPrompts(),
              (QStringList{QStringLiteral("Nummer:"), QStringLiteral("Name:")}));
    EXPECT_EQ(dialogs.fileDialogTitles(), QStringList{QStringLiteral("Speichern")});
    EXPECT_EQ(dialogs.dateRequests(), QList<QDate>{QDate(2021, 1, 1)});
}
