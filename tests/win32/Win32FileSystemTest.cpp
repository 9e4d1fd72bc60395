#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/Handle.h"
#include "platform/win32/StagedCopy.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32DriveTable.h"
#include "platform/win32/Win32TextFiles.h"
#include "tests/FileSystemContract.h"
#include "tests/win32/WinDisk.h"

#include <gmock/gmock.h>
#include <optional>
#include <windows.h>

using ::testing::UnorderedElementsAre;

// The Win32 binding on real folders: what the logic's fake file system cannot show.
namespace carrovex::testing
{

namespace
{

using win32::Handle;
using win32::widen;

constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr std::int64_t someTime = 130'000'000'001'234'567;

// The file opened as another program opens it.
Handle openAs(const std::string& path, DWORD access, DWORD share)
{
    return Handle(::CreateFileW(widen(path).c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr));
}

std::int64_t lastWriteOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data {};
    ::GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &data);
    return static_cast<std::int64_t>(
        (std::uint64_t {data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime);
}

std::string upperCase(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return text;
}

struct Win32Disk {
    using Files = win32::Win32FileSystem;
    using TextFiles = win32::Win32TextFiles;
    using Drives = win32::Win32DriveTable;
    using Volume = UnixTmpfs;
    static constexpr char separator = '\\';
    static constexpr const char* lineEnd = "\r\n";

    static Files files()
    {
        return Files();
    }
    static Files limitedTo(std::size_t files, std::int64_t bytes, std::chrono::milliseconds age)
    {
        return Files({files, bytes, age});
    }
    static Volume volume(const TempFolder&)
    {
        return Volume("4m");
    }
    static inline const std::string alreadyExists = win32::systemErrorText(ERROR_ALREADY_EXISTS);
    static inline const std::string diskFull = win32::systemErrorText(ERROR_DISK_FULL);
    static void setReadOnly(const std::string& path, bool on)
    {
        setAttributes(path, on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
    }
    static bool isReadOnly(const std::string& path)
    {
        return (attributesOf(path) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)) == FILE_ATTRIBUTE_READONLY;
    }
    static void setTime(const std::string& path)
    {
        setLastWrite(path, someTime);
    }
    static void setWholeSecond(const std::string& path, int seconds)
    {
        constexpr std::int64_t second = 10'000'000;
        setLastWrite(path, (someTime / second + seconds) * second);
    }
    static bool hasTheTimeSet(const std::string& path)
    {
        return lastWriteOf(path) == someTime;
    }
    static std::string leftCopy(const std::string& folder, int number)
    {
        const std::string path = folder + "\\~carrovex-99-" + std::to_string(number) + ".tmp";
        writeFile(path, "left");
        setAttributes(path, FILE_ATTRIBUTE_HIDDEN);
        return path;
    }
    static Handle hold(const std::string& path)
    {
        return openAs(path, GENERIC_READ, 0);
    }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemContract, Win32Disk);

class Win32Files : public ::testing::Test
{
protected:
    TempFolder temp;
    std::string source = temp.folder("source");
    std::string destination = temp.folder("destination");
    win32::Win32FileSystem files;
};

TEST_F(Win32Files, ListsOnlyPlainVisibleFilesByTheirWholeNames)
{
    const std::vector<std::string> names
        = {"with blank.txt", "M\xC3\xA4rz \xE2\x82\xAC.txt", "\xF0\x9F\x98\x80", "read-only.txt", "no extension"};
    for (const std::string& name : names) {
        writeFile(source + "\\" + name, "x");
    }
    setAttributes(source + "\\read-only.txt", FILE_ATTRIBUTE_READONLY);
    for (const auto& [name, attribute] :
        {std::pair {"hidden.txt", FILE_ATTRIBUTE_HIDDEN}, std::pair {"system.sys", FILE_ATTRIBUTE_SYSTEM}}) {
        writeFile(source + "\\" + name, "x");
        setAttributes(source + "\\" + name, attribute);
    }
    temp.folder("source\\folder");
    writeFile(source + "\\~carrovex-1-0.tmp", "a staged copy"); // even where the attribute is lost

    const Result<std::vector<std::string>> listing = files.listPlainFiles(source);

    ASSERT_TRUE(listing.ok()) << listing.error();
    EXPECT_THAT(listing.value(), UnorderedElementsAre(names[0], names[1], names[2], names[3], names[4]));
    EXPECT_EQ(files.listPlainFiles(temp.path() + "\\missing").error(), win32::systemErrorText(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(files.listPlainFiles("C:\\M\xE4rz").ok()); // bytes that are no text name no folder
}

TEST_F(Win32Files, NoPlainFileIsTaken)
{
    temp.folder("source\\folder"); // folders open only for what backups do, and are refused then
    EXPECT_EQ(files.startTransfer(source + "\\folder", destination + "\\folder", Transfer::Copy).problem(),
        Problem::NotRegularFile);
    EXPECT_FALSE(files.startTransfer(source + "\\folder", destination + "\\folder", Transfer::Move).ok());
    // Listed, then taken by another program before it could be opened.
    EXPECT_EQ(files.startTransfer(source + "\\missing", destination + "\\missing", Transfer::Copy).problem(),
        Problem::TakenByAnother);
    EXPECT_TRUE(files.completeBatch().empty());
    EXPECT_EQ(entriesOf(destination), "");
}

TEST_F(Win32Files, NamesAreComparedAsTheSystemComparesThem)
{
    writeFile(source + "\\a.txt", "12345");
    EXPECT_TRUE(files.sameFile(source + "\\a.txt", upperCase(source) + "\\A.TXT").value());
    EXPECT_TRUE(files.sameFile(source, upperCase(source)).value()); // folders too
    EXPECT_EQ(files.fileLength(source + "\\a.txt").value(), 5);
    EXPECT_FALSE(files.fileLength(source + "\\missing.txt").ok());
    EXPECT_TRUE(files.folderExists(source + "\\"));
    EXPECT_FALSE(files.folderExists(source + "\\a.txt"));
    EXPECT_FALSE(files.folderExists(""));
}

// Staged copies have no name and are open to nobody until the batch completes; a dropped one goes.
TEST_F(Win32Files, StagedCopiesAreInvisibleUntilPlacedAndGoWhenDropped)
{
    writeFile(source + "\\a.txt", "a");
    writeFile(source + "\\b.txt", "b");
    {
        const Result<Handle> from = win32::openSource(widen(source + "\\a.txt"), false);
        ASSERT_TRUE(from.ok()) << from.error();
        const Result<win32::StagedCopy> dropped = win32::StagedCopy::make(from.value().get(), widen(destination), {});
        ASSERT_TRUE(dropped.ok()) << dropped.error();
        EXPECT_EQ(entriesOf(destination).substr(0, 10), "~carrovex-");
    }
    EXPECT_EQ(entriesOf(destination), "");

    ASSERT_TRUE(files.startTransfer(source + "\\a.txt", destination + "\\a.txt", Transfer::Copy).ok());
    ASSERT_TRUE(files.startTransfer(source + "\\b.txt", destination + "\\b.txt", Transfer::Copy).ok());
    EXPECT_EQ(entryCount(destination), 2);
    EXPECT_FALSE(exists(destination + "\\a.txt"));
    EXPECT_TRUE(files.listPlainFiles(destination).value().empty());
    const std::string staged = entriesOf(destination).substr(0, entriesOf(destination).find(' '));
    EXPECT_FALSE(::DeleteFileW(widen(destination + "\\" + staged).c_str()));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    const std::vector<Placed> outcomes = files.completeBatch();

    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_TRUE(outcomes[0].ok() && outcomes[1].ok());
    EXPECT_EQ(entriesOf(destination), "a.txt b.txt");
    EXPECT_EQ(attributesOf(destination + "\\a.txt") & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_TRUE(files.completeBatch().empty());
}

TEST_F(Win32Files, InterruptedMoveIsFinishedWhileItsCopyIsHeldUnchanged)
{
    for (const char* name : {"\\a.txt", "\\b.txt"}) {
        writeFile(source + name, "the content");
        writeFile(destination + name, "the content");
    }
    setAttributes(destination + "\\b.txt", FILE_ATTRIBUTE_READONLY); // cannot be flushed, yet it is as good

    ASSERT_TRUE(files.startTransfer(source + "\\a.txt", destination + "\\a.txt", Transfer::FinishMove).ok());
    ASSERT_TRUE(files.startTransfer(source + "\\b.txt", destination + "\\b.txt", Transfer::FinishMove).ok());
    EXPECT_FALSE(::DeleteFileW(widen(destination + "\\a.txt").c_str()));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << "held until its source goes";
    EXPECT_FALSE(openAs(destination + "\\a.txt", GENERIC_WRITE, shareAll).valid());
    const std::vector<Placed> outcomes = files.completeBatch();

    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_TRUE(outcomes[0].ok()) << outcomes[0].error();
    EXPECT_TRUE(outcomes[1].ok()) << outcomes[1].error();
    EXPECT_EQ(entriesOf(source), "");
    EXPECT_EQ(entriesOf(destination), "a.txt b.txt");
}

// Only a program that writes the file is said to write it; one that merely holds it gets the system's words.
TEST_F(Win32Files, FileHeldByAnotherProgramIsLeftAloneWithTheReasonItIsInUse)
{
    struct Case {
        DWORD access; // of the other program's handle
        DWORD share;
        Transfer how;
        std::optional<Problem> problem; // else the system's sharing violation
    };
    const Case cases[] = {{GENERIC_WRITE, shareAll, Transfer::CopyReplacing, Problem::OpenForWriting},
        {GENERIC_WRITE, shareAll, Transfer::MoveReplacing, Problem::OpenForWriting},
        {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, Transfer::CopyReplacing, Problem::OpenForWriting},
        {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, Transfer::MoveReplacing, std::nullopt},
        {GENERIC_READ, 0, Transfer::CopyReplacing, std::nullopt}};
    writeFile(source + "\\busy.log", "half");
    writeFile(destination + "\\busy.log", "old");
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        Handle holder = openAs(source + "\\busy.log", c.access, c.share);
        ASSERT_TRUE(holder.valid());

        const Status started = files.startTransfer(source + "\\busy.log", destination + "\\busy.log", c.how);
        holder.close();

        ASSERT_FALSE(started.ok());
        EXPECT_EQ(started.problem(), c.problem);
        if (!c.problem) {
            EXPECT_EQ(started.error(), win32::systemErrorText(ERROR_SHARING_VIOLATION));
        }
        EXPECT_TRUE(files.completeBatch().empty());
        EXPECT_EQ(entriesOf(destination), "busy.log");
        EXPECT_EQ(readFile(destination + "\\busy.log"), "old");
        EXPECT_EQ(readFile(source + "\\busy.log"), "half");
    }
}

// Names that the destination does not take fail as such, leaving the source and no staged copy.
TEST_F(Win32Files, NameTheDestinationRefusesIsReportedAsSuch)
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

class SecondVolume : public Win32Files
{
protected:
    void SetUp() override
    {
        if (!disk.mounted()) {
            GTEST_SKIP() << "mounting a tmpfs needs root and Wine's drive Z: for the Linux root";
        }
    }

    UnixTmpfs disk {"4m"};
};

// No one may write a source while its copy waits, and a read-only one is removed as the move asks.
TEST_F(SecondVolume, MoveAcrossHoldsTheSourceAndRemovesItEvenReadOnly)
{
    writeFile(source + "\\a.txt", "a.txt");
    setAttributes(source + "\\a.txt", FILE_ATTRIBUTE_READONLY);

    ASSERT_TRUE(files.startTransfer(source + "\\a.txt", disk.path() + "\\a.txt", Transfer::Move).ok());
    EXPECT_FALSE(openAs(source + "\\a.txt", GENERIC_WRITE, shareAll).valid());
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    const std::vector<Placed> outcomes = files.completeBatch();

    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_TRUE(outcomes[0].ok()) << outcomes[0].error();
    EXPECT_EQ(entriesOf(source), "");
    EXPECT_EQ(readFile(disk.path() + "\\a.txt"), "a.txt");
}

} // namespace

} // namespace carrovex::testing
