#pragma once

// What every file-system binding promises on real folders, written once and run by each platform's test with
// a small traits type Disk:
//   Files                      the binding; Disk::files() and Disk::limitedTo(files, bytes, age) make one
//   separator                  of paths
//   Volume                     a second volume of 4 MiB for the test's life: mounted(), path(); Disk::volume()
//   alreadyExists, diskFull    the system's words for a taken name and a full disk
//   setReadOnly(path, on), isReadOnly(path)
//   setTime(path), hasTheTimeSet(path)  a time with the finest steps the platform keeps
//   setWholeSecond(path, n)    a time in whole seconds, n seconds after the second of setTime()'s
//   leftCopy(folder, n)        writes a staged copy as an ended program leaves it; returns its path
//   hold(path)                 keeps the file open as a live program keeps its staged copy, for the result's life
//   TextFiles, lineEnd         the binding of the settings and log files, and the line end it writes
//   Drives                     the binding's drive table
#include "engine/TransferRun.h"
#include "form/LogFile.h"
#include "form/MainForm.h"
#include "platform/model/WindowModel.h"
#include "store/IniStore.h"
#include "tests/DiskHelpers.h"
#include "tests/fakes/FixedClock.h"
#include "tests/fakes/FixedNumberFormat.h"
#include "tests/fakes/MemoryTextFiles.h"
#include "tests/fakes/NumberedTexts.h"

#include <chrono>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace carrovex::testing
{

template <class Disk> class FileSystemContract : public ::testing::Test
{
protected:
    static std::string in(const std::string& folder, const std::string& name)
    {
        return folder + Disk::separator + name;
    }

    TempFolder temp;
    std::string source = temp.folder("source");
    std::string destination = temp.folder("destination");
    typename Disk::Files files {Disk::files()};
};

TYPED_TEST_SUITE_P(FileSystemContract);

// Content, time and read-only stay; a read-only file is replaced when asked; a move within a volume leaves
// no source, and nothing else is left behind.
TYPED_TEST_P(FileSystemContract, TransfersKeepContentTimeAndReadOnly)
{
    const std::string from = this->in(this->source, "a.txt");
    const std::string to = this->in(this->destination, "a.txt");
    for (const Transfer how : {Transfer::Copy, Transfer::CopyReplacing, Transfer::MoveReplacing}) {
        SCOPED_TRACE(static_cast<int>(how));
        const std::string content = std::string(3 << 20, 'c') + std::to_string(static_cast<int>(how));
        TypeParam::setReadOnly(from, false);
        writeFile(from, content);
        TypeParam::setTime(from);
        TypeParam::setReadOnly(from, true);

        const Status done = transferNow(this->files, from, to, how);

        ASSERT_TRUE(done.ok()) << done.error();
        EXPECT_EQ(readFile(to), content);
        EXPECT_TRUE(TypeParam::hasTheTimeSet(to));
        EXPECT_TRUE(TypeParam::isReadOnly(to));
        EXPECT_EQ(entriesOf(this->destination), "a.txt");
        EXPECT_EQ(exists(from), how != Transfer::MoveReplacing);
    }
}

// Within a volume or across, a move never replaces a file of that name.
TYPED_TEST_P(FileSystemContract, MoveNeverReplaces)
{
    const typename TypeParam::Volume disk {TypeParam::volume(this->temp)};
    for (const std::string& folder : {this->destination, disk.path()}) {
        if (!disk.mounted() && folder == disk.path()) {
            GTEST_SKIP() << "a second volume needs root";
        }
        writeFile(this->in(this->source, "a.txt"), "mine");
        writeFile(this->in(folder, "a.txt"), "theirs");

        const Status refused
            = transferNow(this->files, this->in(this->source, "a.txt"), this->in(folder, "a.txt"), Transfer::Move);

        EXPECT_EQ(refused.error(), TypeParam::alreadyExists);
        EXPECT_EQ(readFile(this->in(folder, "a.txt")), "theirs");
        EXPECT_EQ(readFile(this->in(this->source, "a.txt")), "mine");
        EXPECT_EQ(entriesOf(folder), "a.txt");
    }
}

// Across volumes the source goes only once its copy is placed; a destination that appeared meanwhile is kept,
// and its failure leaves the other files of the batch complete.
TYPED_TEST_P(FileSystemContract, MoveAcrossRemovesTheSourceOnlyWhenItsCopyIsPlaced)
{
    const typename TypeParam::Volume disk {TypeParam::volume(this->temp)};
    if (!disk.mounted()) {
        GTEST_SKIP() << "a second volume needs root";
    }
    for (const char* name : {"a.txt", "b.txt"}) {
        writeFile(this->in(this->source, name), name);
        ASSERT_TRUE(
            this->files.startTransfer(this->in(this->source, name), this->in(disk.path(), name), Transfer::Move).ok());
    }
    writeFile(this->in(disk.path(), "b.txt"), "theirs");
    EXPECT_TRUE(exists(this->in(this->source, "a.txt")));
    EXPECT_FALSE(exists(this->in(disk.path(), "a.txt"))) << "the staged copy has no name until it is placed";

    const std::vector<Placed> outcomes = this->files.completeBatch();

    ASSERT_EQ(outcomes.size(), 2U);
    EXPECT_TRUE(outcomes[0].ok()) << outcomes[0].error();
    EXPECT_EQ(outcomes[1].error(), TypeParam::alreadyExists);
    EXPECT_EQ(entriesOf(this->source), "b.txt");
    EXPECT_EQ(entriesOf(disk.path()), "a.txt b.txt");
    EXPECT_EQ(readFile(this->in(disk.path(), "a.txt")), "a.txt");
    EXPECT_EQ(readFile(this->in(disk.path(), "b.txt")), "theirs");
}

// A name that is taken: the file goes in under the first free numbered name and replaces nothing, for a copy
// and a move, within one volume and onto another, all in one batch; nor does it take a numbered name that
// another program makes while it waits in its batch.
TYPED_TEST_P(FileSystemContract, KeepingBothTakesTheFirstFreeNumberedNameAndReplacesNothing)
{
    struct Row {
        std::string name;
        std::vector<std::string> taken;
        std::string placed; // empty: too long for the volume
    };
    const std::string longest = std::string(251, 'n') + ".txt";
    const Row rows[] = {{"a.txt", {"a.txt"}, "a (2).txt"},
        {"a", {"a"}, "a (2)"},
        {"archive.tar.gz", {"archive.tar.gz"}, "archive.tar (2).gz"},
        {"b.txt", {"b.txt", "b (2).txt"}, "b (3).txt"},
        {"c.txt", {"c.txt"}, "c (3).txt"}, // its "(2)" is made while it waits, unless it was placed at once
        {"free.txt", {}, "free.txt"},
        {longest, {longest}, ""}};
    const typename TypeParam::Volume disk {TypeParam::volume(this->temp)};
    int round = 0;
    for (const std::string& folder : {this->destination, disk.mounted() ? disk.path() : this->destination}) {
        for (const Transfer how : {Transfer::CopyKeepingBoth, Transfer::MoveKeepingBoth}) {
            const std::string to = makeFolder(this->in(folder, std::to_string(++round)));
            // A move within one volume is a rename at once, whose failure comes when it is started.
            std::vector<Placed> outcomes;
            std::vector<std::size_t> inBatch;
            for (const Row& row : rows) {
                writeFile(this->in(this->source, row.name), "new");
                for (const std::string& taken : row.taken) {
                    writeFile(this->in(to, taken), "old " + taken);
                }
                const Status started
                    = this->files.startTransfer(this->in(this->source, row.name), this->in(to, row.name), how);
                outcomes.push_back(started.ok() ? Placed(std::string()) : Placed::failure(started));
                if (started.ok()) {
                    inBatch.push_back(outcomes.size() - 1);
                }
            }
            const bool placedAtOnce = exists(this->in(to, "c (2).txt"));
            if (!placedAtOnce) {
                writeFile(this->in(to, "c (2).txt"), "theirs");
            }

            const std::vector<Placed> completed = this->files.completeBatch();

            ASSERT_EQ(completed.size(), inBatch.size());
            for (std::size_t i = 0; i < inBatch.size(); ++i) {
                outcomes[inBatch[i]] = completed[i];
            }
            for (std::size_t i = 0; i < outcomes.size(); ++i) {
                const Row& row = rows[i];
                const std::string what = to + " " + row.name;
                for (const std::string& taken : row.taken) {
                    EXPECT_EQ(readFile(this->in(to, taken)), "old " + taken) << what;
                }
                if (row.placed.empty()) {
                    EXPECT_EQ(outcomes[i].problem(), Problem::NumberedNameTooLong)
                        << what << ": " << outcomes[i].error();
                    EXPECT_TRUE(exists(this->in(this->source, row.name))) << what;
                    continue;
                }
                const std::string placed = row.name == "c.txt" && placedAtOnce ? "c (2).txt" : row.placed;
                ASSERT_TRUE(outcomes[i].ok()) << what << ": " << outcomes[i].error();
                EXPECT_EQ(outcomes[i].value(), placed) << what;
                EXPECT_EQ(readFile(this->in(to, placed)), "new") << what;
                EXPECT_EQ(exists(this->in(this->source, row.name)), how == Transfer::CopyKeepingBoth) << what;
            }
            EXPECT_EQ(readFile(this->in(to, "c (2).txt")), placedAtOnce ? "new" : "theirs");
            EXPECT_EQ(entriesOf(to),
                "a a (2) a (2).txt a.txt archive.tar (2).gz archive.tar.gz b (2).txt b (3).txt b.txt c (2).txt "
                    + std::string(placedAtOnce ? "" : "c (3).txt ") + "c.txt free.txt " + longest);
        }
    }
}

TYPED_TEST_P(FileSystemContract, FullDiskFailsWithoutLeavingAPartialFile)
{
    const typename TypeParam::Volume disk {TypeParam::volume(this->temp)};
    if (!disk.mounted()) {
        GTEST_SKIP() << "a second volume needs root";
    }
    const std::string big = this->in(this->source, "big");
    const std::string to = this->in(disk.path(), "big");
    writeFile(this->in(disk.path(), "filler"), std::string(3 << 20, 'f'));
    writeFile(big, std::string(2 << 20, 'b'));
    writeFile(to, "old");

    EXPECT_EQ(transferNow(this->files, big, to, Transfer::CopyReplacing).error(), TypeParam::diskFull);
    EXPECT_EQ(transferNow(this->files, big, to, Transfer::MoveReplacing).error(), TypeParam::diskFull);

    EXPECT_EQ(entriesOf(disk.path()), "big filler");
    EXPECT_EQ(readFile(to), "old");
    EXPECT_EQ(readFile(big).size(), 2U << 20);
}

// A copy has the same content only with the same length, bytes and time; a time in whole seconds (FAT keeps
// even seconds) may lie within two seconds of the source's.
TYPED_TEST_P(FileSystemContract, SameContentAsksLengthTimeAndEveryByte)
{
    constexpr int finest = -1000; // the time of setTime(); else whole seconds after its second, or the clock's
    constexpr int now = 1000;
    struct Row {
        const char* content;
        int sourceTime;
        int copyTime;
        bool same;
    };
    const Row rows[] = {{"the content", finest, finest, true},
        {"the c0ntent", finest, finest, false},
        {"the content!", finest, finest, false},
        {"the content", finest, now, false},
        {"the content", finest, 2, true},
        {"the content", 0, -2, true},
        {"the content", finest, -3, false},
        {"the content", 2, finest, false},
        {"the content", finest, 86'400, false}};
    const std::string original = this->in(this->source, "a.txt");
    const std::string copy = this->in(this->destination, "a.txt");
    for (const Row& row : rows) {
        writeFile(original, "the content");
        writeFile(copy, row.content);
        for (const auto& [path, time] : {std::pair {original, row.sourceTime}, std::pair {copy, row.copyTime}}) {
            if (time == finest) {
                TypeParam::setTime(path);
            } else if (time != now) {
                TypeParam::setWholeSecond(path, time);
            }
        }
        EXPECT_EQ(this->files.sameContent(original, copy).value(), row.same) << &row - rows;
    }
    EXPECT_FALSE(this->files.sameContent(original, this->in(this->destination, "missing")).value());
    EXPECT_FALSE(this->files.sameContent(original, this->destination).value());
}

// Other spellings of a path name the same file; only a file is a file.
TYPED_TEST_P(FileSystemContract, SameFileSeesOtherSpellingsAndFileExistsOnlyForFiles)
{
    const std::string file = this->in(this->source, "a.txt");
    writeFile(file, "x");
    writeFile(this->in(this->destination, "a.txt"), "x");
    const std::string around = this->in(this->in(this->in(this->in(this->destination, ".."), "source"), "."), "a.txt");

    EXPECT_TRUE(this->files.sameFile(file, around).value());
    EXPECT_FALSE(this->files.sameFile(file, this->in(this->destination, "a.txt")).value());
    EXPECT_FALSE(this->files.sameFile(file, this->in(this->destination, "missing")).value());
    // Two sibling folders changed in the same clock tick look alike, but are not one.
    EXPECT_FALSE(this->files.sameFile(this->source, this->destination).value());
    EXPECT_TRUE(this->files.fileExists(file).value());
    for (const std::string& none : {this->source, this->in(this->in(this->temp.path(), "missing"), "a.txt")}) {
        const Result<bool> answer = this->files.fileExists(none);
        ASSERT_TRUE(answer.ok()) << none << ": " << answer.error();
        EXPECT_FALSE(answer.value()) << none;
    }
}

// A batch is due once it holds its limit of bytes or files, or its first file has waited its time, and
// never while nothing waits.
TYPED_TEST_P(FileSystemContract, BatchIsDueAtEachLimitAndNotBefore)
{
    using namespace std::chrono_literals;
    typename TypeParam::Files few {TypeParam::limitedTo(3, 4, 1000ms)};
    const auto start = [&](const char* name, const std::string& content) {
        writeFile(this->in(this->source, name), content);
        return few.startTransfer(this->in(this->source, name), this->in(this->destination, name), Transfer::Copy).ok();
    };

    EXPECT_FALSE(few.batchDue());
    ASSERT_TRUE(start("a", "xyz"));
    EXPECT_FALSE(few.batchDue());
    ASSERT_TRUE(start("b", "w"));
    EXPECT_TRUE(few.batchDue()) << "4 bytes";
    EXPECT_EQ(few.completeBatch().size(), 2U);
    EXPECT_FALSE(few.batchDue());
    for (const char* name : {"c", "d", "e"}) {
        EXPECT_FALSE(few.batchDue());
        ASSERT_TRUE(start(name, ""));
    }
    EXPECT_TRUE(few.batchDue()) << "3 files";
    EXPECT_EQ(few.completeBatch().size(), 3U);
    ASSERT_TRUE(start("f", ""));
    EXPECT_FALSE(few.batchDue());
    std::this_thread::sleep_for(1100ms);
    EXPECT_TRUE(few.batchDue()) << "waited";
    EXPECT_EQ(few.completeBatch().size(), 1U);
    EXPECT_EQ(entriesOf(this->destination), "a b c d e f");
}

TYPED_TEST_P(FileSystemContract, RemovesCopiesThatAnEndedProgramLeftButNotLiveOnes)
{
    const std::string abandoned = TypeParam::leftCopy(this->destination, 0);
    const std::string live = TypeParam::leftCopy(this->destination, 1);
    const auto holder = TypeParam::hold(live);
    writeFile(this->in(this->source, "a.txt"), "x");

    ASSERT_TRUE(
        transferNow(this->files, this->in(this->source, "a.txt"), this->in(this->destination, "a.txt"), Transfer::Copy)
            .ok());

    EXPECT_FALSE(exists(abandoned));
    EXPECT_TRUE(exists(live));
}

// The settings file is replaced whole or not at all: a full disk keeps the old settings, and no temporary
// file stays beside it.
TYPED_TEST_P(FileSystemContract, SettingsFileIsReplacedWholeOrNotAtAll)
{
    typename TypeParam::TextFiles textFiles;
    IniStore ini {textFiles};
    const std::string end = TypeParam::lineEnd;
    const std::string folder = this->temp.folder("M\xC3\xA4rz \xE2\x82\xAC");
    ini.settingsFile = this->in(folder, "Carrovex.ini");
    ini.WriteIniValue("Options", "From", "old");
    ini.WriteIniValue("Options", "To", "new");

    EXPECT_EQ(readFile(ini.settingsFile), "[Options]" + end + "From=old" + end + "To=new" + end);
    EXPECT_EQ(ini.ReadIniValue("Options", "To", "", iniValueSize), "new");
    EXPECT_EQ(entriesOf(folder), "Carrovex.ini");

    const typename TypeParam::Volume disk {TypeParam::volume(this->temp)};
    if (!disk.mounted()) {
        GTEST_SKIP() << "a second volume needs root";
    }
    ini.settingsFile = this->in(disk.path(), "Carrovex.ini");
    ini.WriteIniValue("Options", "From", "old");
    writeFile(this->in(disk.path(), "filler"), std::string(4 << 20, 'f')); // stops where the disk is full
    ini.WriteIniValue("Options", "To", "new");

    EXPECT_EQ(readFile(ini.settingsFile), "[Options]" + end + "From=old" + end);
    EXPECT_EQ(entriesOf(disk.path()), "Carrovex.ini filler");
}

// The log's rotation replaces the oldest file, which a plain rename on Windows refuses to do.
TYPED_TEST_P(FileSystemContract, LogFileRotatesAtItsLimitReplacingTheOldestFile)
{
    typename TypeParam::TextFiles textFiles;
    const std::string log = this->in(this->destination, "Carrovex.log");
    LogFile file(textFiles, textFiles, log, 64, 2);
    std::string kept; // eight lines to a file; the first eight went with the oldest file
    for (int line = 10; line < 40; ++line) {
        ASSERT_TRUE(file.add("line " + std::to_string(line)).ok()) << line;
        kept += line < 18 ? "" : "line " + std::to_string(line) + "\n";
    }

    EXPECT_EQ(entriesOf(this->destination), "Carrovex.log Carrovex.log.1 Carrovex.log.2");
    EXPECT_EQ(readFile(log + ".2") + readFile(log + ".1") + readFile(log), kept);
}

// A run onto a small second volume moves what fits and leaves what no longer does, for it asks the
// volume's free space before each file: a run through the binding with the texts "t0" to "t38".
TYPED_TEST_P(FileSystemContract, RunFillsASecondVolumeAsFarAsItsSpaceGoes)
{
    const typename TypeParam::Volume disk {TypeParam::volume(this->temp)};
    if (!disk.mounted()) {
        GTEST_SKIP() << "a second volume needs root";
    }
    WindowModel window;
    window.setText(Control::SourceFolder, this->source);
    window.setText(Control::DestinationFolder, disk.path());
    window.setValue(Control::Move, 1);
    typename TypeParam::Drives drives;
    FixedClock clock;
    MemoryTextFiles textFiles;
    IniStore ini {textFiles};
    FixedNumberFormat numbers;
    MainForm form {window, this->files, drives, clock, ini, numbers, {}, numberedTexts(), {}, {}};
    writeFile(this->in(this->source, "a.txt"), "a");
    writeFile(this->in(this->source, "big1"), std::string(3 << 20, '1'));
    writeFile(this->in(this->source, "big2"), std::string(3 << 20, '2')); // whichever comes second no longer fits

    DoAction(form);

    const std::string kept = entriesOf(this->source);
    ASSERT_TRUE(kept == "big1" || kept == "big2") << kept;
    const std::string moved = kept == "big1" ? "big2" : "big1";
    EXPECT_THAT(window.lines(),
        ::testing::UnorderedElementsAre(std::string(stamp) + "t26: a.txt",
            std::string(stamp) + "t26: " + moved,
            std::string(stamp) + "t21 - t20: " + kept));
    EXPECT_EQ(entriesOf(disk.path()), "a.txt " + moved);
    EXPECT_EQ(readFile(this->in(disk.path(), moved)), std::string(3 << 20, moved.back()));
}

REGISTER_TYPED_TEST_SUITE_P(FileSystemContract,
    TransfersKeepContentTimeAndReadOnly,
    MoveNeverReplaces,
    MoveAcrossRemovesTheSourceOnlyWhenItsCopyIsPlaced,
    KeepingBothTakesTheFirstFreeNumberedNameAndReplacesNothing,
    FullDiskFailsWithoutLeavingAPartialFile,
    SameContentAsksLengthTimeAndEveryByte,
    SameFileSeesOtherSpellingsAndFileExistsOnlyForFiles,
    BatchIsDueAtEachLimitAndNotBefore,
    RemovesCopiesThatAnEndedProgramLeftButNotLiveOnes,
    SettingsFileIsReplacedWholeOrNotAtAll,
    LogFileRotatesAtItsLimitReplacingTheOldestFile,
    RunFillsASecondVolumeAsFarAsItsSpaceGoes);

} // namespace carrovex::testing
