// Starting another program: its parameters, its working folder, and an honest failure when it cannot run.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/native_path.h"
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

#ifdef _WIN32
constexpr const char* kProgramName = "tool.exe";
#else
constexpr const char* kProgramName = "tool";
#endif

TEST(Shell, StartsAProgramWithItsParametersInItsWorkingFolder) {
    // A folder with a blank and a letter above 127 in its name, as a player's may have.
    TempFolder folder;
    const fs::path program = folder.path() / kProgramName;
    fs::copy_file(RecorderPath(), program);
    const std::string work = folder.text() + "work dir \xE9";
    fs::create_directories(platform::NativePath(work));
    ASSERT_TRUE(platform::StartProgram(program.string(), "-p \"/a b\" c", work));
    EXPECT_EQ(WaitForRecord(platform::NativePath(work + "/out")), "[-p]\n[/a b]\n[c]\n" + work + "\n");
}

TEST(Shell, AProgramThatCannotRunIsAFailure) {
    TempFolder folder;
    EXPECT_FALSE(platform::StartProgram((folder.path() / "missing").string(), "", ""));
    EXPECT_FALSE(platform::StartProgram(folder.path().string(), "", ""));  // a folder

    const fs::path fine = folder.path() / kProgramName;
    fs::copy_file(RecorderPath(), fine);
    EXPECT_FALSE(platform::StartProgram(fine.string(), "", (folder.path() / "no such folder").string()));
#ifndef _WIN32
    // Windows has no execute permission, and it runs the program below by its own format.
    const fs::path plain = folder.path() / "plain";
    WriteFile(plain, "#!/bin/sh\ntouch ran\n");
    EXPECT_FALSE(platform::StartProgram(plain.string(), "", folder.path().string()));  // not executable

    const fs::path garbage = folder.path() / "Ordwin.exe";
    WriteFile(garbage,
              std::string("MZ\x90\0\x03\0\0\0", 8));  // a Windows program: no format this system runs
    fs::permissions(garbage, fs::perms::owner_all);
    EXPECT_FALSE(platform::StartProgram(garbage.string(), "-t", folder.path().string()));
#endif
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(fs::exists(folder.path() / "out"));
}

}  // namespace
}  // namespace krav::test
