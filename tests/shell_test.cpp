// Starting another program: its parameters, its working folder, and an honest failure when it cannot run.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/shell.h"
#include "tests/test_support.h"

namespace krav::test {
namespace {

namespace fs = std::filesystem;
using Params = std::vector<std::string>;

TEST(Shell, ParametersSplitAtBlanksWithQuotesGrouping) {
    EXPECT_EQ(platform::SplitParameters(""), Params{});
    EXPECT_EQ(platform::SplitParameters("  -t  "), Params{"-t"});
    EXPECT_EQ(platform::SplitParameters("-p /games/my eq"), (Params{"-p", "/games/my", "eq"}));
    EXPECT_EQ(platform::SplitParameters("-p \"/games/my eq\" \"\""), (Params{"-p", "/games/my eq", ""}));
}

std::string WaitForFile(const fs::path& path) {
    for (int i = 0; i < 500 && !fs::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return ReadFile(path);
}

TEST(Shell, StartsAProgramWithItsParametersInItsWorkingFolder) {
    TempFolder folder;
    const fs::path program = folder.path() / "tool";
    WriteFile(
        program,
        "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done > out.tmp\npwd >> out.tmp\nmv out.tmp out\n");
    fs::permissions(program, fs::perms::owner_all);
    fs::create_directories(folder.path() / "work dir");
    ASSERT_TRUE(
        platform::StartProgram(program.string(), "-p \"/a b\" c", (folder.path() / "work dir").string()));
    EXPECT_EQ(WaitForFile(folder.path() / "work dir" / "out"),
              "[-p]\n[/a b]\n[c]\n" + folder.text() + "work dir\n");
}

TEST(Shell, AProgramThatCannotRunIsAFailure) {
    TempFolder folder;
    EXPECT_FALSE(platform::StartProgram((folder.path() / "missing").string(), "", ""));
    EXPECT_FALSE(platform::StartProgram(folder.path().string(), "", ""));  // a folder

    const fs::path plain = folder.path() / "plain";
    WriteFile(plain, "#!/bin/sh\ntouch ran\n");
    EXPECT_FALSE(platform::StartProgram(plain.string(), "", folder.path().string()));  // not executable

    const fs::path garbage = folder.path() / "Ordwin.exe";
    WriteFile(garbage,
              std::string("MZ\x90\0\x03\0\0\0", 8));  // a Windows program: no format this system runs
    fs::permissions(garbage, fs::perms::owner_all);
    EXPECT_FALSE(platform::StartProgram(garbage.string(), "-t", folder.path().string()));

    const fs::path fine = folder.path() / "fine";
    WriteFile(fine, "#!/bin/sh\ntouch ran\n");
    fs::permissions(fine, fs::perms::owner_all);
    EXPECT_FALSE(platform::StartProgram(fine.string(), "", (folder.path() / "no such folder").string()));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(fs::exists(folder.path() / "ran"));
}

}  // namespace
}  // namespace krav::test
