// The window program's command line.
#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, ChoosesTheFolderAnswersHelpAndVersionOrRefuses) {
    const LibraryChoice here{};
    const LibraryChoice user{LibraryPlace::UserLibrary, {}};
    auto given = [](const char* folder) { return LibraryChoice{LibraryPlace::GivenFolder, folder}; };
    const struct {
        std::vector<std::string> args;
        Action action;
        LibraryChoice library;
    } cases[] = {
        {{}, Action::Run, here},
        {{"--library"}, Action::Run, user},
        {{"/data/samples"}, Action::Run, given("/data/samples")},
        {{"-"}, Action::Run, given("-")},
        {{"--", "--library"}, Action::Run, given("--library")},
        {{"--", "--help"}, Action::Run, given("--help")},
        // Qt's own options, with their values, are not ours: before Qt has taken them.
        {{"-platform", "offscreen", "--library"}, Action::Run, user},
        {{"--style", "fusion", "samples", "-reverse"}, Action::Run, given("samples")},
        {{"-style=fusion", "samples"}, Action::Run, given("samples")},
        // Help and version win over anything else before "--", a bad option included.
        {{"samples", "--help"}, Action::Help, here},
        {{"--bogus", "-h"}, Action::Help, here},
        {{"--version", "a", "b"}, Action::Version, here},
        // What it cannot tell is refused (the folder is then of no account).
        {{"--bogus"}, Action::Error, here},
        {{"-x"}, Action::Error, here},
        {{"a", "b"}, Action::Error, here},
        {{"--library", "a"}, Action::Error, here},
        {{"a", "--library"}, Action::Error, here},
        {{"--library", "--library"}, Action::Error, here},
        {{""}, Action::Error, here},
        {{"--", "a", "b"}, Action::Error, here},
    };
    for (const auto& c : cases) {
        const CommandLine line = ParseCommandLine(c.args);
        EXPECT_EQ(line.action, c.action) << ::testing::PrintToString(c.args) << " " << line.error;
        EXPECT_EQ(line.error.empty(), c.action != Action::Error) << ::testing::PrintToString(c.args);
        const bool libraryAsExpected = c.action == Action::Error || line.library == c.library;
        EXPECT_TRUE(libraryAsExpected) << ::testing::PrintToString(c.args);
    }
}

} // namespace
