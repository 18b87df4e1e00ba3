// The user's list files beside the program (payment types): code page, line ends, empty
// text, and the file name matched without regard to case.
#include "masterdata/TextListFile.h"
#include "base/DbError.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

using namespace kilvaro;

TEST(TextListFile, RoundTripKeepsUmlautsEuroAndCrLf) {
    TempProgramFolder folder;
    const QByteArray original("Bar\r\n\xDC"
                              "berweisung\r\nScheck 50 \x80\r\n");
    folder.writeFile(QStringLiteral("Z_art.txt"), original);
    const QString text = TextListFile::readText(folder.filePath("Z_art.txt"));
    EXPECT_EQ(text, QStringLiteral("Bar\nÜberweisung\nScheck 50 €"));
    TextListFile::writeText(folder.filePath("Z_art.txt"), text);
    EXPECT_EQ(folder.readFile(QStringLiteral("Z_art.txt")), original);

    TextListFile::writeText(folder.filePath("Z_art.txt"), text + QStringLiteral("\nLastschrift\n"));
    EXPECT_EQ(folder.readFile(QStringLiteral("Z_art.txt")),
              original + QByteArray("Lastschrift\r\n"))
        << "a line end after the last entry adds no empty entry";
}

TEST(TextListFile, EmptyTextGivesAnEmptyFileAndAnEmptyList) {
    TempProgramFolder folder;
    folder.writeFile(QStringLiteral("z_art.txt"), QByteArray("Bar\r\n"));
    TextListFile::writeText(folder.filePath("z_art.txt"), QString());
    EXPECT_TRUE(folder.readFile(QStringLiteral("z_art.txt")).isEmpty());
    EXPECT_TRUE(TextListFile::sortedEntries(folder.filePath("z_art.txt")).isEmpty());
}

TEST(TextListFile, NameIsMatchedWithoutRegardToCaseAndEntriesAreSorted) {
    TempProgramFolder folder;
    folder.writeFile(QStringLiteral("Z_art.txt"), QByteArray("Scheck\r\n\r\nbar\r\n\xDC"
                                                             "berweisung\r\n"));
    const QString lower = folder.filePath("z_art.txt");
    EXPECT_EQ(TextListFile::resolve(lower), folder.filePath("Z_art.txt"));
    EXPECT_EQ(TextListFile::sortedEntries(lower), QStringList({"bar", "Scheck", "Überweisung"}));
    TextListFile::writeText(lower, QStringLiteral("Lastschrift"));
    EXPECT_EQ(folder.readFile(QStringLiteral("Z_art.txt")), QByteArray("Lastschrift\r\n"))
        << "the existing file is written, not a second one beside it";
    EXPECT_FALSE(QFile::exists(lower));
}

TEST(TextListFile, MissingFileIsReported) {
    TempProgramFolder folder;
    try {
        TextListFile::readText(folder.filePath("z_art.txt"));
        FAIL();
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("nicht gefunden")))
            << e.message().toStdString();
    }
}
