#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/Handle.h"
#include "platform/win32/StagedCopy.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/WideText.h"
#include "tests/win32/WinDisk.h"

#include <gmock/gmock.h>
#include <windows.h>

using ::testing::UnorderedElementsAre;

namespace carrovex::testing
{

namespace
{

using win32::Handle;
using win32::widen;

class Win32Files : public ::testing::Test
{
protected:
    // Opens the file as another program that writes it does (sharing everything).
    static Handle openForWriting(const std::string& path)
    {
        return Handle(::CreateFileW(widen(path).c_str(),
            GENERIC_WRITE,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr,
            OPEN_EXISTING,
            0,
            nullptr));
    }

    static FILETIME lastWriteOf(const std::string& path)
    {
        WIN32_FILE_ATTRIBUTE_DATA data {};
        ::GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &data);
        return data.ftLastWriteTime;
    }

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
}

TEST_F(Win32Files, ListingAMissingFolderFailsWithTheSystemsText)
{
    const Result<std::vector<std::string>> listing = files.listPlainFiles(temp.path() + "\\missing");
    ASSERT_FALSE(listing.ok());
    EXPECT_EQ(listing.error(), win32::systemErrorText(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(files.listPlainFiles("C:\\M\xE4rz").ok()); // bytes that are no text name no folder
}

TEST_F(Win32Files, CopyKeepsContentTimeAndReadOnlyAndLeavesNothingElse)
{
    const std::string from = source + "\\a.txt";
    writeFile(from, std::string(3 << 20, 'c') + "end");
    setAttributes(from, FILE_ATTRIBUTE_READONLY);
    const FILETIME written = lastWriteOf(from);

    const Status copied = transferNow(files, from, destination + "\\a.txt", Transfer::Copy);

    ASSERT_TRUE(copied.ok()) << copied.error();
    EXPECT_EQ(readFile(destination + "\\a.txt"), readFile(from));
    const FILETIME copiedTime = lastWriteOf(destination + "\\a.txt");
    EXPECT_EQ(::CompareFileTime(&written, &copiedTime), 0);
    EXPECT_EQ(attributesOf(destination + "\\a.txt") & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
        static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(entriesOf(destination), "a.txt");
    EXPECT_EQ(readFile(from).size(), (3u << 20) + 3);
}

TEST_F(Win32Files, CopyReplacesAReadOnlyDestination)
{
    writeFile(source + "\\a.txt", "new");
    writeFile(destination + "\\a.txt", "old");
    setAttributes(destination + "\\a.txt", FILE_ATTRIBUTE_READONLY);

    const Status copied = transferNow(files, source + "\\a.txt", destination + "\\a.txt", Transfer::CopyReplacing);

    ASSERT_TRUE(copied.ok()) << copied.error();
    EXPECT_EQ(readFile(destination + "\\a.txt"), "new");
}

TEST_F(Win32Files, CopyAndMoveRefuseWhatIsNoPlainFile)
{
    temp.folder("source\\folder");
    // Folders open only for what backups do, and are refused then.
    EXPECT_EQ(files.startTransfer(source + "\\folder", destination + "\\folder", Transfer::Copy).problem(),
        Problem::NotRegularFile);
    EXPECT_FALSE(files.startTransfer(source + "\\folder", destination + "\\folder", Transfer::Move).ok());
    EXPECT_EQ(files.startTransfer(source + "\\missing", destination + "\\missing", Transfer::Copy).error(),
        win32::systemErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(files.completeBatch().empty());
    EXPECT_EQ(entriesOf(destination), "");
}

TEST_F(Win32Files, MoveNeverReplacesADestinationThatAppeared)
{
    writeFile(source + "\\a.txt", "mine");
    writeFile(destination + "\\a.txt", "theirs");

    const Status moved = transferNow(files, source + "\\a.txt", destination + "\\a.txt", Transfer::Move);

    EXPECT_EQ(moved.error(), win32::systemErrorText(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(readFile(source + "\\a.txt"), "mine");
    EXPECT_EQ(readFile(destination + "\\a.txt"), "theirs");
}

TEST_F(Win32Files, MoveWithReplaceTakesTheDestinationsPlaceEvenWhenItIsReadOnly)
{
    writeFile(source + "\\a.txt", "mine");
    writeFile(destination + "\\a.txt", "theirs");
    setAttributes(destination + "\\a.txt", FILE_ATTRIBUTE_READONLY);

    const Status moved = transferNow(files, source + "\\a.txt", destination + "\\a.txt", Transfer::MoveReplacing);

    ASSERT_TRUE(moved.ok()) << moved.error();
    EXPECT_EQ(readFile(destination + "\\a.txt"), "mine");
    EXPECT_EQ(entriesOf(source), "");
}

TEST_F(Win32Files, SameFileSeesOtherSpellingsButNotOtherFiles)
{
    writeFile(source + "\\a.txt", "x");
    writeFile(destination + "\\a.txt", "x");
    std::string upper = source;
    for (char& c : upper) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    EXPECT_TRUE(files.sameFile(source + "\\a.txt", upper + "\\A.TXT").value());
    EXPECT_TRUE(files.sameFile(source + "\\a.txt", destination + "\\..\\source\\.\\a.txt").value());
    EXPECT_FALSE(files.sameFile(source + "\\a.txt", destination + "\\a.txt").value());
    EXPECT_FALSE(files.sameFile(source + "\\a.txt", destination + "\\missing.txt").value());
    EXPECT_TRUE(files.sameFile(source, upper).value()); // folders too
}

TEST_F(Win32Files, ExistenceAndLengthOfFilesAndFolders)
{
    writeFile(source + "\\a.txt", "12345");
    EXPECT_TRUE(files.fileExists(source + "\\a.txt").value());
    EXPECT_FALSE(files.fileExists(source).value());
    EXPECT_FALSE(files.fileExists(source + "\\missing.txt").value());
    EXPECT_FALSE(files.fileExists(source + "\\missing\\a.txt").value());
    EXPECT_EQ(files.fileLength(source + "\\a.txt").value(), 5);
    EXPECT_FALSE(files.fileLength(source + "\\missing.txt").ok());
    EXPECT_TRUE(files.folderExists(source));
    EXPECT_TRUE(files.folderExists(source + "\\"));
    EXPECT_FALSE(files.folderExists(source + "\\a.txt"));
    EXPECT_FALSE(files.folderExists(""));
    EXPECT_EQ(files.joinPath("C:\\data", "a.txt"), "C:\\data\\a.txt");
}

TEST_F(Win32Files, StagedCopyIsOpenToNobodyAndGoesWhenDroppedUnplaced)
{
    writeFile(source + "\\a.txt", "content");
    {
        const Result<Handle> from = win32::openSource(widen(source + "\\a.txt"), false);
        ASSERT_TRUE(from.ok()) << from.error();
        const Result<win32::StagedCopy> staged = win32::StagedCopy::make(from.value().get(), widen(destination));
        ASSERT_TRUE(staged.ok()) << staged.error();
        const std::vector<std::string> names = {entriesOf(destination)};
        ASSERT_EQ(names[0].substr(0, 10), "~carrovex-");
        EXPECT_FALSE(::DeleteFileW(widen(destination + "\\" + names[0]).c_str()));
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_TRUE(files.listPlainFiles(destination).value().empty());
    }
    EXPECT_EQ(entriesOf(destination), "");
}

TEST_F(Win32Files, RemovesCopiesThatAnEndedProgramLeftButNotLiveOnes)
{
    const std::string abandoned = destination + "\\~carrovex-99-0.tmp";
    const std::string live = destination + "\\~carrovex-99-1.tmp";
    writeFile(abandoned, "left");
    writeFile(live, "held");
    setAttributes(abandoned, FILE_ATTRIBUTE_HIDDEN);
    setAttributes(live, FILE_ATTRIBUTE_HIDDEN);
    const Handle holder(::CreateFileW(widen(live).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    writeFile(source + "\\a.txt", "x");

    ASSERT_TRUE(transferNow(files, source + "\\a.txt", destination + "\\a.txt", Transfer::Copy).ok());

    EXPECT_FALSE(exists(abandoned));
    EXPECT_TRUE(exists(live));
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

TEST_F(SecondVolume, MoveAcrossRemovesTheSourceOnlyWhenTheBatchCompletesAndNoOneCanWriteItMeanwhile)
{
    writeFile(source + "\\a.txt", "moving");
    setAttributes(source + "\\a.txt", FILE_ATTRIBUTE_READONLY);

    ASSERT_TRUE(files.startTransfer(source + "\\a.txt", disk.path() + "\\a.txt", Transfer::Move).ok());
    EXPECT_TRUE(exists(source + "\\a.txt"));
    EXPECT_FALSE(exists(disk.path() + "\\a.txt")) << "the staged copy has no name until it is placed";
    EXPECT_FALSE(openForWriting(source + "\\a.txt").valid());
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    const std::vector<Status> outcomes = files.completeBatch();

    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_TRUE(outcomes[0].ok()) << outcomes[0].error();
    EXPECT_FALSE(exists(source + "\\a.txt")); // read-only, yet removed as the move asks
    EXPECT_EQ(readFile(disk.path() + "\\a.txt"), "moving");
    EXPECT_EQ(entriesOf(disk.path()), "a.txt");
}

TEST_F(SecondVolume, MoveAcrossKeepsADestinationThatAppearedAndLeavesNoStagedCopy)
{
    writeFile(source + "\\a.txt", "mine");

    ASSERT_TRUE(files.startTransfer(source + "\\a.txt", disk.path() + "\\a.txt", Transfer::Move).ok());
    writeFile(disk.path() + "\\a.txt", "theirs");
    const std::vector<Status> outcomes = files.completeBatch();

    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].error(), win32::systemErrorText(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(readFile(source + "\\a.txt"), "mine");
    EXPECT_EQ(readFile(disk.path() + "\\a.txt"), "theirs");
    EXPECT_EQ(entriesOf(disk.path()), "a.txt");
}

TEST_F(SecondVolume, OneFailureInABatchLeavesTheOthersComplete)
{
    writeFile(source + "\\a.txt", "a");
    writeFile(source + "\\b.txt", "b");
    writeFile(source + "\\c.txt", "c");

    ASSERT_TRUE(files.startTransfer(source + "\\a.txt", disk.path() + "\\a.txt", Transfer::Move).ok());
    ASSERT_TRUE(files.startTransfer(source + "\\b.txt", disk.path() + "\\b.txt", Transfer::Move).ok());
    writeFile(disk.path() + "\\b.txt", "theirs");
    ASSERT_TRUE(files.startTransfer(source + "\\c.txt", disk.path() + "\\c.txt", Transfer::Copy).ok());
    const std::vector<Status> outcomes = files.completeBatch();

    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_TRUE(outcomes[0].ok()) << outcomes[0].error();
    EXPECT_FALSE(outcomes[1].ok());
    EXPECT_TRUE(outcomes[2].ok()) << outcomes[2].error();
    EXPECT_EQ(entriesOf(source), "b.txt c.txt");
    EXPECT_EQ(entriesOf(disk.path()), "a.txt b.txt c.txt");
    EXPECT_EQ(readFile(disk.path() + "\\b.txt"), "theirs");
}

TEST_F(SecondVolume, FullDiskFailsWithoutLeavingAPartialFile)
{
    writeFile(disk.path() + "\\filler", std::string(3 << 20, 'f'));
    writeFile(source + "\\big", std::string(2 << 20, 'b'));
    writeFile(disk.path() + "\\big", "old");
    const std::string full = win32::systemErrorText(ERROR_DISK_FULL);

    EXPECT_EQ(transferNow(files, source + "\\big", disk.path() + "\\big", Transfer::CopyReplacing).error(), full);
    EXPECT_EQ(transferNow(files, source + "\\big", disk.path() + "\\big", Transfer::MoveReplacing).error(), full);

    EXPECT_EQ(entriesOf(disk.path()), "big filler");
    EXPECT_EQ(readFile(disk.path() + "\\big"), "old");
    EXPECT_EQ(readFile(source + "\\big").size(), 2u << 20);
}

class Win32Batch : public Win32Files
{
};

TEST_F(Win32Batch, StagedCopiesWaitUnnamedAndUnlistedUntilTheBatchCompletes)
{
    writeFile(source + "\\a.txt", "a");
    writeFile(source + "\\b.txt", "b");

    ASSERT_TRUE(files.startTransfer(source + "\\a.txt", destination + "\\a.txt", Transfer::Copy).ok());
    ASSERT_TRUE(files.startTransfer(source + "\\b.txt", destination + "\\b.txt", Transfer::Copy).ok());
    EXPECT_EQ(entryCount(destination), 2);
    EXPECT_FALSE(exists(destination + "\\a.txt"));
    EXPECT_TRUE(files.listPlainFiles(destination).value().empty());
    const std::vector<Status> outcomes = files.completeBatch();

    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_TRUE(outcomes[0].ok() && outcomes[1].ok());
    EXPECT_EQ(entriesOf(destination), "a.txt b.txt");
    EXPECT_EQ(attributesOf(destination + "\\a.txt") & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_TRUE(files.completeBatch().empty());
}

TEST_F(Win32Batch, IsDueWhenFullOrWhenItsFirstFileHasWaited)
{
    win32::Win32FileSystem few({2, std::int64_t {1} << 30, std::chrono::milliseconds(200)});
    for (const char* name : {"a", "b", "c"}) {
        writeFile(source + "\\" + name, name);
    }
    EXPECT_FALSE(few.batchDue());
    ASSERT_TRUE(few.startTransfer(source + "\\a", destination + "\\a", Transfer::Copy).ok());
    EXPECT_FALSE(few.batchDue());
    ASSERT_TRUE(few.startTransfer(source + "\\b", destination + "\\b", Transfer::Copy).ok());
    EXPECT_TRUE(few.batchDue());
    EXPECT_EQ(few.completeBatch().size(), 2u);

    ASSERT_TRUE(few.startTransfer(source + "\\c", destination + "\\c", Transfer::Copy).ok());
    EXPECT_FALSE(few.batchDue());
    ::Sleep(250);
    EXPECT_TRUE(few.batchDue());
    EXPECT_EQ(few.completeBatch().size(), 1u);
}

TEST_F(Win32Batch, MoveWithinAVolumeIsARenameThatKeepsTheFile)
{
    writeFile(source + "\\a.txt", "moving");
    setLastWrite(source + "\\a.txt", 130'000'000'001'234'567);

    ASSERT_TRUE(transferNow(files, source + "\\a.txt", destination + "\\a.txt", Transfer::Move).ok());

    EXPECT_EQ(entriesOf(source), "");
    EXPECT_EQ(readFile(destination + "\\a.txt"), "moving");
    EXPECT_EQ(
        lastWriteOf(destination + "\\a.txt").dwLowDateTime, static_cast<DWORD>(130'000'000'001'234'567 & 0xFFFFFFFF));
}

TEST_F(Win32Batch, SameContentAsksLengthTimeAndEveryByte)
{
    constexpr std::int64_t time = 130'000'000'001'234'567;
    constexpr std::int64_t wholeSecond = 130'000'000'010'000'000;
    const auto make = [&](const std::string& path, const std::string& content, std::int64_t when) {
        writeFile(path, content);
        setLastWrite(path, when);
        return path;
    };
    const std::string original = make(source + "\\a", "the content", time);

    EXPECT_TRUE(files.sameContent(original, make(destination + "\\same", "the content", time)).value());
    EXPECT_FALSE(files.sameContent(original, make(destination + "\\bytes", "the c0ntent", time)).value());
    EXPECT_FALSE(files.sameContent(original, make(destination + "\\length", "the content!", time)).value());
    EXPECT_FALSE(files.sameContent(original, make(destination + "\\time", "the content", time + 1)).value());
    EXPECT_FALSE(files.sameContent(original, destination + "\\missing").value());
    EXPECT_FALSE(files.sameContent(original, destination).value());
    // A file system that keeps whole (FAT: even) seconds only rounds the time within two seconds.
    const std::string fat = make(source + "\\fat", "x", wholeSecond - 15'000'000);
    EXPECT_TRUE(files.sameContent(fat, make(destination + "\\fat", "x", wholeSecond)).value());
    EXPECT_FALSE(files.sameContent(make(destination + "\\far", "x", wholeSecond - 40'000'000), fat).value());
}

TEST_F(Win32Batch, InterruptedMoveIsFinishedWhileItsCopyIsHeldUnchanged)
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
    EXPECT_FALSE(openForWriting(destination + "\\a.txt").valid());
    const std::vector<Status> outcomes = files.completeBatch();

    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_TRUE(outcomes[0].ok()) << outcomes[0].error();
    EXPECT_TRUE(outcomes[1].ok()) << outcomes[1].error();
    EXPECT_EQ(entriesOf(source), "");
    EXPECT_EQ(entriesOf(destination), "a.txt b.txt");
    EXPECT_EQ(readFile(destination + "\\a.txt"), "the content");
}

} // namespace

} // namespace carrovex::testing
