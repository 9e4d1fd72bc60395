#include "platform/win32/Handle.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32FileSystem.h"
#include "tests/win32/WinDisk.h"

#include <gtest/gtest.h>
#include <optional>
#include <windows.h>

namespace carrovex::testing
{

namespace
{

using win32::Handle;
using win32::widen;

// Transfers that the Win32 binding refuses, each with the reason the log shows.
class Win32Refusals : public ::testing::Test
{
protected:
    TempFolder temp;
    std::string source = temp.folder("source");
    std::string destination = temp.folder("destination");
    win32::Win32FileSystem files;
};

struct HolderCase {
    const char* name;
    DWORD access; // of the other program's handle
    DWORD share;
    Transfer how;
    std::optional<Problem> problem; // else the system's sharing violation
};

class Win32HeldFile : public Win32Refusals, public ::testing::WithParamInterface<HolderCase>
{
};

// Only a program that writes the file is said to write it; one that merely holds it gets the system's words.
TEST_P(Win32HeldFile, IsLeftAloneWithTheReasonItIsInUse)
{
    const HolderCase& c = GetParam();
    writeFile(source + "\\busy.log", "half");
    writeFile(destination + "\\busy.log", "old");
    Handle holder(
        ::CreateFileW(widen(source + "\\busy.log").c_str(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.valid());

    const Status started = files.startTransfer(source + "\\busy.log", destination + "\\busy.log", c.how);
    holder.close();

    ASSERT_FALSE(started.ok());
    EXPECT_EQ(started.problem(), c.problem);
    if (!c.problem) {
        EXPECT_EQ(started.error(), win32::systemErrorText(ERROR_SHARING_VIOLATION));
    }
    EXPECT_TRUE(files.completeBatch().empty());
    EXPECT_EQ(readFile(destination + "\\busy.log"), "old");
    EXPECT_EQ(entriesOf(destination), "busy.log");
    EXPECT_EQ(readFile(source + "\\busy.log"), "half");
}

constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

INSTANTIATE_TEST_SUITE_P(Holders,
    Win32HeldFile,
    ::testing::Values(
        HolderCase {"WriterSharingAllCopy", GENERIC_WRITE, shareAll, Transfer::CopyReplacing, Problem::OpenForWriting},
        HolderCase {"WriterSharingAllMove", GENERIC_WRITE, shareAll, Transfer::MoveReplacing, Problem::OpenForWriting},
        HolderCase {"WriterSharingReading",
            GENERIC_READ | GENERIC_WRITE,
            FILE_SHARE_READ,
            Transfer::CopyReplacing,
            Problem::OpenForWriting},
        HolderCase {"ReaderKeepingItsNameMove",
            GENERIC_READ,
            FILE_SHARE_READ | FILE_SHARE_WRITE,
            Transfer::MoveReplacing,
            std::nullopt},
        HolderCase {"ExclusiveReaderCopy", GENERIC_READ, 0, Transfer::CopyReplacing, std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });

// Names that the destination does not take fail as such, leaving the source and no staged copy.
TEST_F(Win32Refusals, NameTheDestinationRefusesIsReportedAsSuch)
{
    writeFile(source + "\\a.txt", "content");
    // (Wine reports a name too long for the Linux file system as not found, where Windows calls it invalid.)
    for (const std::string name : {"a?.txt", "a|b.txt", "a<b>"}) {
        for (const Transfer how : {Transfer::Copy, Transfer::Move}) {
            SCOPED_TRACE(name);
            const Status refused = transferNow(files, source + "\\a.txt", destination + "\\" + name, how);
            EXPECT_EQ(refused.problem(), Problem::NameRefused) << refused.error();
            EXPECT_EQ(entriesOf(destination), "");
            EXPECT_EQ(readFile(source + "\\a.txt"), "content");
        }
    }
}

} // namespace

} // namespace carrovex::testing
