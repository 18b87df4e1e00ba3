#include "base/Utils.h"
#include "base/DbError.h"
#include "support/FakeDialogService.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

using namespace kilvaro;

TEST(Utils, TwoDigits) {
    EXPECT_EQ(TwoDigits(3), QStringLiteral("03"));
    EXPECT_EQ(TwoDigits(0), QStringLiteral("00"));
    EXPECT_EQ(TwoDigits(12), QStringLiteral("12"));
    EXPECT_EQ(TwoDigits(123), QStringLiteral("123"));
}

TEST(Utils, ProgramFolderAndSharedPaths) {
    setProgramFolder(QStringLiteral("/opt/kilvaro"));
    EXPECT_EQ(ProgramFolder(), QStringLiteral("/opt/kilvaro/"));
    setProgramFolder(QStringLiteral("/opt/kilvaro/"));
    EXPECT_EQ(SqlPath(), QStringLiteral("/opt/kilvaro/sql/"));
    EXPECT_EQ(DatenPath(), QStringLiteral("/opt/kilvaro/daten/"));
}

TEST(Utils, LastDayOfMonthRewritesFebruaryForTheYearAtHand) {
    EXPECT_EQ(LastDayOfMonth(2, 2024), QDate(2024, 2, 29));
    EXPECT_EQ(MonthDays[1], 29);
    EXPECT_EQ(LastDayOfMonth(2, 2023), QDate(2023, 2, 28));
    EXPECT_EQ(MonthDays[1], 28);
    EXPECT_EQ(LastDayOfMonth(4, 2021), QDate(2021, 4, 30));
    EXPECT_EQ(LastDayOfMonth(12, 2021), QDate(2021, 12, 31));
    // Full calendar rule: 2100 is no leap year, 2000 is.
    EXPECT_EQ(LastDayOfMonth(2, 2100), QDate(2100, 2, 28));
    EXPECT_EQ(LastDayOfMonth(2, 2000), QDate(2000, 2, 29));
    EXPECT_FALSE(LastDayOfMonth(13, 2021).isValid());
    EXPECT_FALSE(LastDayOfMonth(0, 2021).isValid());
}

TEST(Utils, JetDateLiteralFromText) {
    EXPECT_EQ(JetDateLiteral(QStringLiteral("01.12.2021")), QStringLiteral("#12/01/2021#"));
    EXPECT_EQ(JetDateLiteral(QStringLiteral("15.03.2021")), QStringLiteral("#03/15/2021#"));
    EXPECT_EQ(JetDateLiteral(QStringLiteral("15.03.2021 14:30:00")),
              QStringLiteral("#03/15/2021#"));
    EXPECT_EQ(JetDateLiteral(QDate(2021, 12, 1)), QStringLiteral("#12/01/2021#"));
    EXPECT_EQ(JetDateLiteral(QDate(2024, 2, 29)), QStringLiteral("#02/29/2024#"));
}

TEST(Utils, JetDateLiteralRefusesOtherTexts) {
    for (const char* text : {"", "1.12.2021", "01.12.21", "2021-12-01", "31.02.2021", "01.13.2021",
                             "01.12.2021x", "ab.cd.efgh", "#12/01/2021#"}) {
        try {
            JetDateLiteral(QString::fromUtf8(text));
            ADD_FAILURE() << "accepted: " << text;
        } catch (const DbError& e) {
            EXPECT_EQ(e.message(),
                      QStringLiteral("'%1' ist kein gültiges Datum.").arg(QString::fromUtf8(text)));
        }
    }
    EXPECT_THROW(JetDateLiteral(QDate()), DbError);
}

TEST(Utils, VersionInfo) {
    EXPECT_EQ(VersionInfoText(), QStringLiteral("Version: 8.0.0.0 \n(Kilvaro)\n© korvat"));
    FakeDialogService dialogs;
    ShowVersionInfo(dialogs);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.lastMessage().text, VersionInfoText());
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Information);
    EXPECT_EQ(dialogs.lastMessage().buttons, MsgButtons::Ok);
}

TEST(Utils, OpenWithParametersSplitsLikeACommandLine) {
    TempProgramFolder folder;
    const QString out = folder.filePath(QStringLiteral("args.txt"));
    ASSERT_TRUE(folder.writeFile(QStringLiteral("echo.sh"),
                                 "for a in \"$@\"; do printf '[%s]' \"$a\"; done > \"$0.tmp\"\n"
                                 "mv \"$0.tmp\" \"$(dirname \"$0\")/args.txt\"\n"));
    OpenWithParameters(QString(), QStringLiteral("nichts")); // nothing happens
    OpenWithParameters(QStringLiteral("/bin/sh"),
                       QLatin1Char('"') + folder.filePath(QStringLiteral("echo.sh")) +
                           QStringLiteral("\" \"/a b/neu\" \"/c/alt\" d"));
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(out) && timer.elapsed() < 10000)
        QThread::msleep(20);
    EXPECT_EQ(folder.readFile(QStringLiteral("args.txt")), QByteArray("[/a b/neu][/c/alt][d]"));
}

namespace {

/// A program folder with "kilvaro" and its settings file, and an update folder.
class CheckForUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApp();
        ASSERT_TRUE(folder.writeFile(QStringLiteral("prog/kilvaro"), "laufend"));
        program = folder.filePath(QStringLiteral("prog/kilvaro"));
        ini = folder.filePath(QStringLiteral("prog/kilvaro.ini"));
        updateFolder = folder.filePath(QStringLiteral("update"));
        setTime(program, QDateTime(QDate(2024, 5, 1), QTime(12, 0)));
    }

    void writeIni(const QString& update) {
        ASSERT_TRUE(folder.writeFile(QStringLiteral("prog/kilvaro.ini"),
                                     "[optionen]\r\nupdate=" + update.toUtf8() + "\r\n"));
    }
    void putCopy(const QDateTime& time) {
        ASSERT_TRUE(folder.writeFile(QStringLiteral("update/kilvaro"), "kopie"));
        setTime(updateFolder + QStringLiteral("/kilvaro"), time);
    }
    static void setTime(const QString& path, const QDateTime& time) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(time, QFileDevice::FileModificationTime));
    }
    UpdateCheck check() {
        return CheckForUpdate(dialogs, program, ini,
                              [this](const QString& file, const QString& parameters) {
                                  launched.append(file);
                                  launched.append(parameters);
                              });
    }

    TempProgramFolder folder;
    FakeDialogService dialogs;
    QString program, ini, updateFolder;
    QStringList launched;
};

} // namespace

TEST_F(CheckForUpdateTest, OlderCopyIsNoUpdate) {
    writeIni(updateFolder);
    putCopy(QDateTime(QDate(2024, 4, 1), QTime(12, 0)));
    EXPECT_EQ(check(), UpdateCheck::NoUpdate);
    EXPECT_TRUE(launched.isEmpty());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.lastMessage().text,
              QStringLiteral("Keine Aktualisierung gefunden (%1/kilvaro)").arg(updateFolder));
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::None);
    EXPECT_EQ(dialogs.lastMessage().buttons, MsgButtons::Ok);
}

TEST_F(CheckForUpdateTest, SameFileIsNoUpdate) {
    writeIni(folder.filePath(QStringLiteral("prog/")));
    EXPECT_EQ(check(), UpdateCheck::NoUpdate);
    EXPECT_EQ(dialogs.lastMessage().text,
              QStringLiteral("Keine Aktualisierung gefunden (%1)").arg(program));
}

TEST_F(CheckForUpdateTest, NoFolderOrMissingFolderIsNoUpdate) {
    EXPECT_EQ(check(), UpdateCheck::NoUpdate); // no settings file at all
    writeIni(QString());
    EXPECT_EQ(check(), UpdateCheck::NoUpdate);
    writeIni(folder.filePath(QStringLiteral("gibtsnicht")));
    EXPECT_EQ(check(), UpdateCheck::NoUpdate);
    EXPECT_EQ(dialogs.messageTexts(),
              (QStringList{QStringLiteral("Keine Aktualisierung gefunden ()"),
                           QStringLiteral("Keine Aktualisierung gefunden ()"),
                           QStringLiteral("Keine Aktualisierung gefunden (%1gibtsnicht/kilvaro)")
                               .arg(folder.path())}));
    EXPECT_TRUE(launched.isEmpty());
}

TEST_F(CheckForUpdateTest, NewerCopyStartsTheUpdaterAndQuits) {
    writeIni(updateFolder);
    putCopy(QDateTime(QDate(2024, 6, 1), QTime(12, 0)));
    EXPECT_EQ(check(), UpdateCheck::QuitNow);
    EXPECT_TRUE(dialogs.messages().isEmpty());
    const QString candidate = updateFolder + QStringLiteral("/kilvaro");
    EXPECT_EQ(launched, (QStringList{updateFolder + QStringLiteral("/simpleupdate.exe"),
                                     QStringLiteral("\"%1\" \"%2\"").arg(candidate, program)}));

    // A native updater beside the copy is preferred.
    ASSERT_TRUE(folder.writeFile(QStringLiteral("update/simpleupdate"), "#!/bin/sh\n"));
    launched.clear();
    EXPECT_EQ(check(), UpdateCheck::QuitNow);
    ASSERT_FALSE(launched.isEmpty());
    EXPECT_EQ(launched.first(), updateFolder + QStringLiteral("/simpleupdate"));
}
