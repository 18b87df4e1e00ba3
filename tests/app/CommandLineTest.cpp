#include "app/CommandLine.h"

#include <gtest/gtest.h>

using namespace kilvaro;

TEST(CommandLineTest, ParsesBatchCommandsAndWindowArguments) {
    auto c = CommandLine::parse({QStringLiteral("--home"), QStringLiteral("/x"), QStringLiteral("/800")});
    EXPECT_EQ(c.command, CommandLine::Command::Gui);
    EXPECT_EQ(c.home, QStringLiteral("/x"));
    EXPECT_EQ(c.guiArguments, QStringList{QStringLiteral("/800")});

    c = CommandLine::parse({QStringLiteral("--sql"), QStringLiteral("select 1")});
    EXPECT_EQ(c.command, CommandLine::Command::Sql);
    EXPECT_EQ(c.sql, QStringLiteral("select 1"));

    EXPECT_FALSE(CommandLine::parse({QStringLiteral("--sql")}).error.isEmpty());
    EXPECT_FALSE(CommandLine::parse({QStringLiteral("--home")}).error.isEmpty());
    EXPECT_FALSE(CommandLine::parse({QStringLiteral("--bogus")}).error.isEmpty());
    EXPECT_FALSE(CommandLine::parse({QStringLiteral("--demo"), QStringLiteral("--sql"), QStringLiteral("x")})
                     .error.isEmpty());
    EXPECT_EQ(CommandLine::parse({QStringLiteral("--version")}).command, CommandLine::Command::Version);
}
