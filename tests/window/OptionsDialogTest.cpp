#include "tests/schedule/SchedulerFixture.h"

#include <gmock/gmock.h>
#include <optional>
#include <regex>

using ::testing::ElementsAre;

namespace carrovex::testing
{

namespace
{

// The options dialog opened from the started program; the lang folder lists Deutsch.dat, then
// English.dat, then Notes.DAT, then files that hold no language.
class Options : public SchedulerFixture
{
protected:
    Options()
    {
        files.addFolder("/prog/lang");
        for (const char* name : {"Deutsch.dat", "English.dat", "Notes.DAT", "readme.txt", "Old.dat.bak"}) {
            files.addFile(std::string("/prog/lang/") + name, 1);
        }
        for (const char* name : {"Deutsch.dat.dat", ".dat", "a..b.dat", "back\\slash.dat"}) {
            files.addFile(std::string("/prog/lang/") + name, 1);
        }
        textFiles.files["/prog/lang/English.dat"] = languageOf("e");
    }

    // A language whose texts are their keys' numbers after the prefix.
    static std::string languageOf(const std::string& prefix)
    {
        std::string language = "[frmMain]\n";
        for (int key = 0; key <= 44; ++key) {
            language += "t" + std::to_string(key) + "=" + prefix + std::to_string(key) + "\n";
        }
        return language;
    }

    // Opens the dialog, lets the user act in it, and returns what it showed when it opened.
    void open(std::function<void(DialogModel&)> user)
    {
        window.onOptionsDialog([&, user](DialogModel& dialog) {
            shown.title = dialog.title();
            shown.items = dialog.items(DialogControl::Language);
            shown.language = dialog.text(DialogControl::Language);
            shown.checks = {dialog.value(DialogControl::SaveOnClose),
                dialog.value(DialogControl::AskBeforeSaving),
                dialog.value(DialogControl::RunOnStart),
                dialog.value(DialogControl::SendToTray)};
            shown.check1Enabled = dialog.isEnabled(DialogControl::SaveOnClose);
            shown.trayUsable = dialog.isEnabled(DialogControl::SendToTray);
            shown.focus = dialog.focus();
            user(dialog);
        });
        window.click(Control::Settings);
    }

    struct Shown {
        std::string title;
        std::vector<std::string> items;
        std::string language;
        std::vector<int> checks;
        bool check1Enabled = true;
        bool trayUsable = true;
        std::optional<DialogControl> focus;
    } shown;
};

TEST_F(Options, OpensWithTheStoredValuesAndTheNewestListedOnTop)
{
    settings("From=/src\nTo=/dst\nQuestion=1\nDoActionOnStart=1\n");
    load();

    open([](DialogModel& dialog) {
        dialog.click(DialogControl::AskBeforeSaving);
        EXPECT_TRUE(dialog.isEnabled(DialogControl::SaveOnClose));
    });

    EXPECT_EQ(shown.title, "Carrovex Lite - t38");
    // Only files ending in ".dat", in any letter case, and only that ending is taken off.
    EXPECT_THAT(shown.items, ElementsAre("Deutsch.dat", "Notes", "English", "Deutsch"));
    EXPECT_EQ(shown.language, "Deutsch");
    EXPECT_THAT(shown.checks, ElementsAre(1, 1, 1, 0));
    EXPECT_FALSE(shown.check1Enabled);
    EXPECT_FALSE(shown.trayUsable); // only where there is a tray
    EXPECT_EQ(shown.focus, DialogControl::AskBeforeSaving); // the first usable control takes the keys
}

// Without a settings file the dialog offers to save; Cancel writes nothing.
TEST_F(Options, SameLanguageSavesOnlyTheSwitches)
{
    textFiles.files.erase("/prog/Carrovex.ini");
    window.setTray(true);
    load();
    const int writes = textFiles.writes;
    open([](DialogModel& dialog) {
        dialog.click(DialogControl::RunOnStart);
        dialog.click(DialogControl::Cancel);
        EXPECT_TRUE(dialog.isClosed());
    });
    EXPECT_EQ(textFiles.writes, writes);

    open([](DialogModel& dialog) {
        dialog.click(DialogControl::RunOnStart);
        dialog.click(DialogControl::AnyDestinationDisk);
        dialog.click(DialogControl::KeepBoth);
        dialog.click(DialogControl::SendToTray);
        dialog.click(DialogControl::Save);
        EXPECT_TRUE(dialog.isClosed());
    });
    EXPECT_THAT(shown.checks, ElementsAre(1, 0, 0, 0));
    EXPECT_TRUE(shown.trayUsable);
    EXPECT_EQ(shown.language, "Deutsch");
    EXPECT_EQ(shown.focus, DialogControl::SaveOnClose);

    EXPECT_EQ(stored("DoActionOnStart"), "1");
    EXPECT_EQ(stored("AnyDestinationDisk"), "1");
    EXPECT_EQ(stored("KeepBoth"), "1");
    EXPECT_EQ(stored("SendToTray"), "1");
    EXPECT_EQ(stored("Save"), "1");
    EXPECT_EQ(stored("Question"), "0");
    EXPECT_EQ(stored("Language"), "(missing)");
    EXPECT_EQ(window.text(Control::SourceLabel), "t0");
    EXPECT_TRUE(window.lines().empty());
}

// The switches and the language are written in one replacement of the file; a language listed in
// capitals is read from its own file.
TEST_F(Options, AnotherListedLanguageIsAppliedAndLogged)
{
    load();
    window.click(Control::StartStop);
    const int writes = textFiles.writes;

    open([](DialogModel& dialog) {
        dialog.click(DialogControl::SaveOnClose);
        dialog.pick(DialogControl::Language, "English");
        dialog.click(DialogControl::Save);
    });

    EXPECT_EQ(textFiles.writes, writes + 1);
    EXPECT_EQ(stored("Save"), "0");
    EXPECT_EQ(stored("SendToTray"), "0");
    EXPECT_EQ(stored("AnyDestinationDisk"), "0");
    EXPECT_EQ(stored("KeepBoth"), "0");
    EXPECT_EQ(stored("Language"), "English");
    EXPECT_EQ(ini.languageFile, "/prog/lang/English.dat");
    EXPECT_EQ(window.text(Control::SourceLabel), "e0");
    EXPECT_EQ(window.text(Control::StartStop), "e11");
    EXPECT_EQ(window.caption(), "Carrovex Lite - e14 (e17 5 e5)");
    EXPECT_EQ(window.lines().back(), std::string(stamp) + "e44 English");
    EXPECT_EQ(window.items(Control::Interval).size(), 13U);

    textFiles.files["/prog/lang/Notes.DAT"] = "[frmMain]\nt0=Notes\n";
    open([](DialogModel& dialog) {
        dialog.pick(DialogControl::Language, "Notes");
        dialog.click(DialogControl::Save);
    });
    EXPECT_EQ(ini.languageFile, "/prog/lang/Notes.DAT");
    EXPECT_EQ(window.text(Control::SourceLabel), "Notes");
}

TEST_F(Options, LanguageWithoutAFileIsShownAsNoneChosenAndReloadedOnSave)
{
    settings("From=/src\nTo=/dst\nLanguage=Klingon\n");
    load();
    open([](DialogModel& dialog) {
        dialog.pick(DialogControl::Language, "Klingon"); // not in the list: cannot be picked
        dialog.click(DialogControl::Save);
    });
    EXPECT_EQ(shown.language, "");
    EXPECT_EQ(stored("Language"), "Klingon");
    EXPECT_EQ(window.lines().back(), std::string(stamp) + "Language changed to Klingon"); // Klingon has no file
}

TEST_F(Options, FailedSaveIsShownAndChangesNoLanguage)
{
    load();
    textFiles.unwritable.insert("/prog/Carrovex.ini");
    std::vector<std::string> messages;
    open([&](DialogModel& dialog) {
        dialog.pick(DialogControl::Language, "English");
        dialog.click(DialogControl::Save);
        messages = dialog.messages();
    });
    EXPECT_THAT(messages,
        ElementsAre("Carrovex Lite - t36: The settings could not be saved in /prog/Carrovex.ini: Permission denied"));
    EXPECT_EQ(window.text(Control::SourceLabel), "t0");
}

TEST_F(Options, AboutNamesTheVersionAndTheLicence)
{
    load();
    std::vector<std::string> messages;
    open([&](DialogModel& dialog) {
        dialog.click(DialogControl::About);
        messages = dialog.messages();
        EXPECT_FALSE(dialog.isClosed());
    });
    // The test language has no texts after t44: the English ones stand in.
    // The standard library's regular expressions: GoogleTest's own know no classes on Windows.
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(std::regex_match(messages[0],
        std::regex("Carrovex Lite - About: Carrovex Lite\nt10\n\nVersion [0-9]+\\.[0-9]+\nLicence: [A-Za-z0-9.-]+")))
        << messages[0];
}

TEST_F(Options, OwnLanguagesAreOfferedOnTopOnceEachAndWinOverTheProgramsFiles)
{
    folders.languages = {"/home/anna/lang", "/prog/lang"};
    files.addFolder("/home/anna/lang");
    for (const char* name : {"English.dat", "Plattdeutsch.dat"}) {
        files.addFile(std::string("/home/anna/lang/") + name, 1);
        textFiles.files[std::string("/home/anna/lang/") + name] = languageOf("own");
    }
    load();

    open([](DialogModel& dialog) {
        dialog.pick(DialogControl::Language, "English");
        dialog.click(DialogControl::Save);
    });
    EXPECT_THAT(shown.items, ElementsAre("Plattdeutsch", "Deutsch.dat", "Notes", "English", "Deutsch"));
    EXPECT_EQ(ini.languageFile, "/home/anna/lang/English.dat");
    EXPECT_EQ(window.text(Control::SourceLabel), "own0");

    open([](DialogModel& dialog) {
        dialog.pick(DialogControl::Language, "Plattdeutsch");
        dialog.click(DialogControl::Save);
    });
    EXPECT_EQ(stored("Language"), "Plattdeutsch");
    EXPECT_EQ(ini.languageFile, "/home/anna/lang/Plattdeutsch.dat");
}

} // namespace

} // namespace carrovex::testing
