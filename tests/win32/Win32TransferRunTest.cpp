#include "engine/TransferRun.h"
#include "form/MainForm.h"
#include "platform/model/WindowModel.h"
#include "platform/win32/Handle.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32DriveTable.h"
#include "platform/win32/Win32FileSystem.h"
#include "store/IniStore.h"
#include "tests/fakes/FixedClock.h"
#include "tests/fakes/FixedNumberFormat.h"
#include "tests/fakes/MemoryTextFiles.h"
#include "tests/fakes/NumberedTexts.h"
#include "tests/win32/WinDisk.h"

#include <gmock/gmock.h>
#include <windows.h>

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

namespace carrovex::testing
{

namespace
{

// A run through the Win32 binding between real folders, with the texts "t0" to "t38".
class Win32TransferRun : public ::testing::Test
{
protected:
    Win32TransferRun()
    {
        use(source, destination);
        choose(false, false);
    }

    void use(const std::string& from, const std::string& to)
    {
        window.setText(Control::SourceFolder, from);
        window.setText(Control::DestinationFolder, to);
    }

    void choose(bool move, bool overwrite)
    {
        window.setValue(Control::Move, move ? 1 : 0);
        window.setValue(Control::Overwrite, overwrite ? 1 : 0);
    }

    TempFolder temp;
    std::string source = temp.folder("source");
    std::string destination = temp.folder("destination");
    WindowModel window;
    win32::Win32FileSystem files;
    win32::Win32DriveTable drives;
    FixedClock clock;
    MemoryTextFiles textFiles;
    IniStore ini {textFiles};
    FixedNumberFormat numbers;
    MainForm form {window, files, drives, clock, ini, numbers, {}, numberedTexts(), {}, {}};
};

TEST_F(Win32TransferRun, FoldersHiddenAndSystemFilesNeitherBlockNorCount)
{
    temp.folder("source\\folder");
    writeFile(source + "\\desktop.ini", "x");
    setAttributes(source + "\\desktop.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    writeFile(source + "\\hidden.txt", "x");
    setAttributes(source + "\\hidden.txt", FILE_ATTRIBUTE_HIDDEN);

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t18: t19 "));
}

TEST_F(Win32TransferRun, NamesOfEveryScriptAreMovedAndLogged)
{
    choose(true, false);
    const std::vector<std::string> names = {"with blank.txt", "M\xC3\xA4rz.txt", "\xE2\x82\xAC \xF0\x9F\x98\x80", "%s"};
    for (const std::string& name : names) {
        writeFile(source + "\\" + name, name);
    }

    DoAction(form);

    EXPECT_THAT(window.lines(),
        UnorderedElementsAre(std::string(stamp) + "t26: " + names[0],
            std::string(stamp) + "t26: " + names[1],
            std::string(stamp) + "t26: " + names[2],
            std::string(stamp) + "t26: " + names[3]));
    EXPECT_EQ(readFile(destination + "\\" + names[2]), names[2]);
    EXPECT_EQ(entriesOf(source), "");
}

TEST_F(Win32TransferRun, ReadOnlyDestinationIsReplacedWhenOverwriteIsOn)
{
    choose(false, true);
    writeFile(source + "\\a.txt", "new");
    writeFile(destination + "\\a.txt", "old");
    setAttributes(destination + "\\a.txt", FILE_ATTRIBUTE_READONLY);

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t25 (t23): a.txt"));
    EXPECT_EQ(readFile(destination + "\\a.txt"), "new");
    EXPECT_EQ(readFile(source + "\\a.txt"), "new");
}

TEST_F(Win32TransferRun, SameFolderUnderAnotherSpellingKeepsTheFiles)
{
    choose(true, true);
    std::string upper = source;
    for (char& c : upper) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    use(source, upper);
    writeFile(source + "\\a.txt", "keep");

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + "t21 (t24): a.txt"));
    EXPECT_EQ(readFile(source + "\\a.txt"), "keep");
}

TEST_F(Win32TransferRun, FileInUseIsToldInTheUsersLanguageAndTheRunGoesOn)
{
    choose(true, false);
    textFiles.files[ini.languageFile] = "[frmMain]\nt70=Wird noch geschrieben\n";
    writeFile(source + "\\a-open.log", "half");
    writeFile(source + "\\b-done.txt", "x");
    const win32::Handle writer(::CreateFileW(win32::widen(source + "\\a-open.log").c_str(),
        GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr,
        OPEN_EXISTING,
        0,
        nullptr));

    DoAction(form);

    EXPECT_THAT(window.lines(),
        UnorderedElementsAre(
            std::string(stamp) + "t35: Wird noch geschrieben - a-open.log", std::string(stamp) + "t26: b-done.txt"));
    EXPECT_EQ(entriesOf(source), "a-open.log");
    EXPECT_EQ(entriesOf(destination), "b-done.txt");
}

TEST_F(Win32TransferRun, MovesOntoAnotherVolumeAsFarAsItsSpaceGoes)
{
    UnixTmpfs disk("4m");
    if (!disk.mounted()) {
        GTEST_SKIP() << "mounting a tmpfs needs root and Wine's drive Z: for the Linux root";
    }
    choose(true, false);
    use(source, disk.path());
    writeFile(source + "\\a.txt", "a");
    writeFile(source + "\\big1", std::string(3 << 20, '1'));
    writeFile(source + "\\big2", std::string(3 << 20, '2')); // whichever comes second no longer fits

    DoAction(form);

    const std::string kept = entriesOf(source);
    ASSERT_TRUE(kept == "big1" || kept == "big2") << kept;
    const std::string moved = kept == "big1" ? "big2" : "big1";
    EXPECT_THAT(window.lines(),
        UnorderedElementsAre(std::string(stamp) + "t26: a.txt",
            std::string(stamp) + "t26: " + moved,
            std::string(stamp) + "t21 - t20: " + kept));
    EXPECT_EQ(entriesOf(disk.path()), "a.txt " + moved);
    EXPECT_EQ(readFile(disk.path() + "\\" + moved), std::string(3 << 20, moved.back()));
}

struct LeftoverCase {
    const char* name;
    const char* destinationContent;
    bool sameTime;
    const char* line;
    bool sourceStays;
};

class Win32InterruptedMove : public Win32TransferRun, public ::testing::WithParamInterface<LeftoverCase>
{
};

// A move cut short by a kill or a power cut left the file in both folders; only a byte-identical copy with
// the source's time finishes it.
TEST_P(Win32InterruptedMove, FinishesOnlyWithAByteIdenticalCopy)
{
    const LeftoverCase& c = GetParam();
    choose(true, false);
    constexpr std::int64_t time = 130'000'000'001'234'567;
    writeFile(source + "\\a.txt", "the content");
    writeFile(destination + "\\a.txt", c.destinationContent);
    setLastWrite(source + "\\a.txt", time);
    setLastWrite(destination + "\\a.txt", c.sameTime ? time : time + 10'000'000);

    DoAction(form);

    EXPECT_THAT(window.lines(), ElementsAre(std::string(stamp) + c.line));
    EXPECT_EQ(exists(source + "\\a.txt"), c.sourceStays);
    EXPECT_EQ(readFile(destination + "\\a.txt"), c.destinationContent);
}

INSTANTIATE_TEST_SUITE_P(Leftovers,
    Win32InterruptedMove,
    ::testing::Values(LeftoverCase {"IdenticalCopy", "the content", true, "t26: a.txt", false},
        LeftoverCase {"SameLengthOtherBytes", "the c0ntent", true, "t21 (t24): a.txt", true},
        LeftoverCase {"SameBytesOtherTime", "the content", false, "t21 (t24): a.txt", true}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace

} // namespace carrovex::testing
