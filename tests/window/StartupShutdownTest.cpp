#include "tests/TableRows.h"
#include "tests/schedule/SchedulerFixture.h"

#include <gmock/gmock.h>
#include <utility>

using ::testing::ElementsAre;

namespace carrovex::testing
{

namespace
{

using Startup = SchedulerFixture;

// The settings and the language's texts, or the English ones where the language has no file.
TEST_F(Startup, LoadsTheSettingsAndTheTextsOfTheStoredLanguage)
{
    load();
    EXPECT_EQ(ini.settingsFile, "/prog/Carrovex.ini");
    EXPECT_EQ(window.caption(), "Carrovex Lite - t16");
    EXPECT_EQ(window.text(Control::SourceLabel), "t0");
    EXPECT_EQ(window.text(Control::SourceFolder), "/src");
    EXPECT_EQ(window.value(Control::Copy), 1);
    EXPECT_TRUE(window.isEnabled(Control::StartStop));
    EXPECT_FALSE(form.state.loading);
    EXPECT_TRUE(window.lines().empty());

    settings("Language=Klingon\n");
    load();
    EXPECT_EQ(window.caption(), "Carrovex Lite - Stopped");
    EXPECT_EQ(window.text(Control::Quit), "&Quit");
    EXPECT_FALSE(window.isEnabled(Control::StartStop));
}

// A stored language is looked for in the language folder only.
TEST_F(Startup, StoredLanguageNamesAFileInTheLanguageFolder)
{
    const std::pair<const char*, const char*> cases[] = {{"", "Deutsch"},
        {"../../../etc/hostname", "Deutsch"},
        {"sub/Deutsch", "Deutsch"},
        {"..", "Deutsch"},
        {"C:\\lang\\Deutsch", "Deutsch"},
        {"Klingon", "Klingon"}};
    for (const auto& [stored, language] : cases) {
        settings(*stored == '\0' ? "" : std::string("Language=") + stored + "\n");
        load();
        EXPECT_EQ(ini.languageFile, std::string("/prog/lang/") + language + ".dat") << stored;
        EXPECT_EQ(form.language, language) << stored;
    }
}

TEST_F(Startup, SlashSStartsTheSchedulerOnceTheWindowIsShown)
{
    files.addFile("/src/a", 1);
    settings("From=/src\nTo=/dst\nDoActionOnStart=1\n");
    load("/s");
    EXPECT_FALSE(form.state.running);
    EXPECT_TRUE(window.lines().empty());
    bool shownDuringTheRun = false;
    window.onProcessEvents([&] { shownDuringTheRun = window.hasAppeared(); });

    window.appear();

    EXPECT_TRUE(form.state.running);
    EXPECT_TRUE(shownDuringTheRun);
    EXPECT_TRUE(files.hasFile("/dst/a"));
    EXPECT_EQ(window.lines().front(), std::string(stamp) + "t33");
    EXPECT_EQ(window.caption(), countdown(5));
}

// The command line, and the destination folder.
using StartupCommandLine = Table<SchedulerFixture, std::pair<const char*, const char*>>;

TEST_P(StartupCommandLine, OnlyExactlySlashSStartsAndOnlyWithBothFolders)
{
    settings(std::string("From=/src\nTo=") + GetParam().second + "\n");
    load(GetParam().first);
    window.appear();
    EXPECT_FALSE(form.state.running);
    EXPECT_TRUE(window.lines().empty());
    EXPECT_EQ(window.caption(), "Carrovex Lite - t16");
}

INSTANTIATE_TEST_SUITE_P(Others,
    StartupCommandLine,
    ::testing::Values(std::pair {"/S", "/dst"},
        std::pair {"/s /x", "/dst"},
        std::pair {" /s", "/dst"},
        std::pair {"s", "/dst"},
        std::pair {"", "/dst"},
        std::pair {"/s", "/gone"}));

struct ClosingCase : NamedRow {
    const char* settings;
    bool answer;
    bool asked;
    bool saved;
    bool savedAtSessionEnd; // without a question
};

using Closing = Table<SchedulerFixture, ClosingCase>;

TEST_P(Closing, SavesAsQuestionAndSaveSay)
{
    const ClosingCase& c = GetParam();
    settings(std::string("From=/src\nTo=/dst\n") + c.settings);
    load();
    window.type(Control::DestinationFolder, "/src");
    window.answerNextQuestion(c.answer);

    window.click(Control::Quit);

    EXPECT_TRUE(window.isClosed());
    EXPECT_EQ(window.questions(),
        c.asked ? std::vector<std::string> {"Carrovex Lite - t36: t37?"} : std::vector<std::string> {});
    EXPECT_EQ(stored("To"), c.saved ? "/src" : "/dst");
}

TEST_P(Closing, EndOfTheSessionSavesAsSaveSaysWithoutAsking)
{
    const ClosingCase& c = GetParam();
    settings(std::string("From=/src\nTo=/dst\nSendToTray=1\n") + c.settings);
    load();
    window.setTray(true); // where closing only hides the window
    window.type(Control::DestinationFolder, "/src");
    window.answerNextQuestion(c.answer);

    window.endSession();

    EXPECT_TRUE(window.isClosed());
    EXPECT_EQ(window.questions(), std::vector<std::string> {});
    EXPECT_EQ(stored("To"), c.savedAtSessionEnd ? "/src" : "/dst");
}

INSTANTIATE_TEST_SUITE_P(Table,
    Closing,
    ::testing::Values(ClosingCase {"AskedYes", "Question=1\nSave=0\n", true, true, true, false},
        ClosingCase {"AskedNoEvenWithSave", "Question=1\nSave=1\n", false, true, false, true},
        ClosingCase {"SavedWithoutAsking", "Question=0\nSave=1\n", true, false, true, true},
        ClosingCase {"OtherQuestionValueCountsAsOff", "Question=yes\nSave=1\n", true, false, true, true},
        // As the options dialog shows it: without a "Save" key, or with one it cannot read, it saves.
        ClosingCase {"MissingSaveKeySaves", "", true, false, true, true},
        ClosingCase {"OtherSaveValueSaves", "Save=yes\n", true, false, true, true},
        ClosingCase {"SaveSwitchedOffSavesNothing", "Save=0\n", true, false, false, false}),
    rowName);

// Whatever ends the window during a run, the run ends after the file in hand and the window closes only
// then; the system may end the program before the run returns, so the end of the session saves at once.
enum class Ending { CloseBox, EndOfSession, TrayQuit };

struct EndingCase : NamedRow {
    const char* settings;
    Ending ending;
    const char* savedAtOnce; // the stored action when the ending is asked for
    const char* saved;
};

using EndingDuringARun = Table<SchedulerFixture, EndingCase>;

TEST_P(EndingDuringARun, ClosesAfterTheFileInHandAndSavesAsTheRowSays)
{
    const EndingCase& c = GetParam();
    settings(std::string("From=/src\nTo=/dst\nInterval=1\n") + c.settings);
    sourceFiles({"a", "b", "c"});
    window.setTray(c.ending == Ending::TrayQuit);
    load();
    window.click(Control::StartStop);
    std::string savedAtOnce;
    window.onProcessEvents([&] {
        if (window.processEventsCalls() == 2) { // during the first file
            c.ending == Ending::CloseBox           ? window.requestClose()
                : c.ending == Ending::EndOfSession ? window.endSession()
                                                   : window.click(Control::TrayQuit);
            EXPECT_FALSE(window.isClosed());
            savedAtOnce = stored("Action");
        }
    });

    window.tick();

    EXPECT_TRUE(window.isClosed());
    EXPECT_EQ(window.operationsAfterClose(), 0);
    EXPECT_EQ(window.lines().back(), "t31: t25 1 t29");
    EXPECT_TRUE(files.hasFile("/dst/a"));
    EXPECT_FALSE(files.hasFile("/dst/b"));
    EXPECT_EQ(window.questions(), std::vector<std::string> {});
    EXPECT_EQ(savedAtOnce, c.savedAtOnce);
    EXPECT_EQ(stored("Action"), c.saved);
}

INSTANTIATE_TEST_SUITE_P(Endings,
    EndingDuringARun,
    ::testing::Values(EndingCase {"CloseBox", "Save=1\n", Ending::CloseBox, "(missing)", "Copy"},
        EndingCase {"EndOfSessionWithoutAsking", "Question=1\n", Ending::EndOfSession, "Copy", "Copy"},
        EndingCase {"TrayQuit", "Save=0\nSendToTray=1\n", Ending::TrayQuit, "(missing)", "(missing)"}),
    rowName);

TEST_F(Startup, UnwritableSettingsAreReportedAndNeverKeepTheWindowOpen)
{
    settings("From=/src\nTo=/dst\nSave=1\n");
    load();
    textFiles.unwritable.insert("/prog/Carrovex.ini");

    window.requestClose();

    EXPECT_TRUE(window.isClosed());
    EXPECT_EQ(stored("Action"), "(missing)");
    EXPECT_TRUE(form.state.saveFailed);
    EXPECT_THAT(window.messages(),
        ElementsAre("Carrovex Lite - t36: The settings could not be saved in /prog/Carrovex.ini: Permission denied"));
}

TEST_F(Startup, ValueThatCannotBeStoredLeavesBothFoldersAsTheyWere)
{
    files.addFolder("/a\nb");
    files.addFolder("/new");
    load();
    window.type(Control::SourceFolder, "/a\nb");
    window.type(Control::DestinationFolder, "/new");

    window.requestClose();

    EXPECT_EQ(stored("From"), "/src");
    EXPECT_EQ(stored("To"), "/dst");
    EXPECT_THAT(window.messages(), ElementsAre(::testing::HasSubstr("From")));
}

} // namespace

} // namespace carrovex::testing
