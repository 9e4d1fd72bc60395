#include "settings/LanguageCatalogue.h"

#include "form/LaterTexts.h"
#include "platform/model/DialogModel.h"
#include "store/BuiltInEnglish.h"
#include "store/IniStore.h"
#include "store/Utf8.h"
#include "tests/MainFormFixture.h"
#include "tests/TableRows.h"
#include "tests/fakes/SourceTreeFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <vector>

namespace carrovex::testing
{

namespace
{

using Catalogue = MainFormFixture;

TEST_F(Catalogue, LoadsTheTextsCutTo255CharactersAndALostFileGivesEnglishCaptions)
{
    textFiles.files[ini.languageFile]
        = "[frmMain]\nt0=Quellordner\nT12=&Los\nt38=&Ein&stellungen\nt2=" + std::string(300, 'i') + "\n";

    LoadLanguage(form);

    EXPECT_EQ(form.texts[0], "Quellordner");
    EXPECT_EQ(form.texts[1], "Destination folder");
    EXPECT_EQ(window.text(Control::SourceLabel), "Quellordner");
    EXPECT_EQ(window.text(Control::StartStop), "&Los");
    EXPECT_EQ(window.text(Control::Settings), "&Ein&stellungen");
    EXPECT_EQ(window.text(Control::IntervalLabel), std::string(255, 'i'));

    textFiles.files.erase("/prog/lang/Test.dat");
    LoadLanguage(form);

    EXPECT_EQ(window.text(Control::SourceLabel), "Source folder");
    EXPECT_EQ(window.text(Control::StartStop), "&Start");
}

// A user's translation in the settings folder (/own) in front of the program's file of the same language
// (/inst): what the user's file lacks, or leaves empty, comes from the program's file, then from English.
TEST_F(Catalogue, TextsTheUsersFileLacksComeFromTheProgramsFileThenFromEnglish)
{
    textFiles.files["/prog/Carrovex.ini"] = "[Options]\nLanguage=Deutsch\n";
    form.languageFolders = {"/own", "/inst"};
    files.addFile("/own/Deutsch.dat", 10);
    files.addFile("/inst/Deutsch.dat", 10);
    textFiles.files["/own/Deutsch.dat"] = "[frmMain]\nt26=Verschoben!\nt21=\nt2";
    textFiles.files["/inst/Deutsch.dat"] = "[frmMain]\nt26=Verschoben\nt21=Nicht verschoben\nt24=existiert bereits\n";

    useStoredLanguage(form);
    LoadLanguage(form);

    EXPECT_EQ(form.texts[26], "Verschoben!");
    EXPECT_EQ(form.texts[21], "Nicht verschoben");
    EXPECT_EQ(form.texts[24], "existiert bereits");
    EXPECT_EQ(form.texts[25], "Copied");
    EXPECT_EQ(laterText(ini, LaterText::OpenForWriting), englishText(Problem::OpenForWriting));
}

// The user's own folder (/own) comes first, the installed languages (/inst) last.
struct LookupCase : NamedRow {
    std::vector<std::string> filesThere;
    bool ownFolderUnreadable;
    const char* found;
};

using LanguageLookup = Table<MainFormFixture, LookupCase>;

TEST_P(LanguageLookup, FindsTheFileInTheFirstFolderThatHoldsIt)
{
    const LookupCase& c = GetParam();
    form.languageFolders = {"/own", "/inst"};
    for (const std::string& file : c.filesThere) {
        files.addFile(file, 100);
    }
    if (c.ownFolderUnreadable) {
        files.failCall(FakeFileSystem::Call::FileExists, 1, "Permission denied");
    }

    EXPECT_EQ(languageFile(form, "English"), c.found);
}

INSTANTIATE_TEST_SUITE_P(Cases,
    LanguageLookup,
    ::testing::Values(LookupCase {"OwnFileWins", {"/inst/English.dat", "/own/English.dat"}, false, "/own/English.dat"},
        LookupCase {"InstalledWhenOwnHasNone", {"/inst/English.dat", "/own/Deutsch.dat"}, false, "/inst/English.dat"},
        LookupCase {"OwnFileAlone", {"/own/English.dat"}, false, "/own/English.dat"},
        LookupCase {"NowhereNamesTheInstalledPlace", {}, false, "/inst/English.dat"},
        LookupCase {
            "UnreadableOwnFolderPassedBy", {"/inst/English.dat", "/own/English.dat"}, true, "/inst/English.dat"}),
    rowName);

TEST_F(Catalogue, DialogTitleDropsTheAccessKeyMarks)
{
    textFiles.files[ini.languageFile] = "[frmMain]\nt38=&Ein&stellungen\nt37=Speichern\nt43=Sprache\nt42=&Speichern\n";
    DialogModel dialog;

    LoadLanguage(dialog, ini);

    EXPECT_EQ(dialog.title(), "Carrovex Lite - Einstellungen");
    EXPECT_EQ(dialog.text(DialogControl::SaveOnClose), "Speichern");
    EXPECT_EQ(dialog.text(DialogControl::LanguageLabel), "Sprache");
    EXPECT_EQ(dialog.text(DialogControl::Save), "&Speichern");
    EXPECT_EQ(dialog.text(DialogControl::RunOnStart), "Run at once after Start");
}

// Every language file that ships with the program.
std::vector<std::string> shippedLanguages()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(CARROVEX_SOURCE_DIR) + "/lang")) {
        if (const auto name = languageOfFile(entry.path().filename().string())) {
            names.push_back(*name);
        }
    }
    return names;
}

// The letter after a single "&", folded to small letters; "&&" stands for "&" itself.
std::optional<std::string> accessKey(const std::string& caption)
{
    for (std::size_t at = 0; at + 1 < caption.size(); ++at) {
        if (caption[at] == '&') {
            if (caption[at + 1] != '&') {
                std::size_t end = at + 1;
                nextCodePoint(caption, end);
                return foldCase(caption.substr(at + 1, end - at - 1));
            }
            ++at;
        }
    }
    return std::nullopt;
}

// The access keys of captions that are shown at the same time, each with the caption that has it.
void expectDistinctAccessKeys(const std::vector<std::string>& captions, const std::string& where)
{
    std::map<std::string, std::string> owners;
    for (const std::string& caption : captions) {
        if (const auto key = accessKey(caption)) {
            const auto [owner, added] = owners.emplace(*key, caption);
            EXPECT_TRUE(added) << where << ": \"" << caption << "\" and \"" << owner->second << "\" share Alt+" << *key;
        }
    }
}

class ShippedLanguage : public ::testing::TestWithParam<std::string>
{
protected:
    ShippedLanguage()
    {
        ini.languageFile = std::string(CARROVEX_SOURCE_DIR) + "/lang/" + GetParam() + ".dat";
    }

    SourceTreeFiles files;
    IniStore ini {files};
};

TEST_P(ShippedLanguage, HasEveryTextAndACancelButtonThatCanBeTold)
{
    for (int key = 0; key <= lastLaterText; ++key) {
        EXPECT_NE(ini.ReadLanguageValue("frmMain", "t" + std::to_string(key), "", iniValueSize), "") << "t" << key;
    }
    EXPECT_NE(languageText(ini, 32), languageText(ini, 11));
    EXPECT_NE(languageText(ini, 32), languageText(ini, 12));
    EXPECT_NE(languageText(ini, 5).find(languageText(ini, 4).substr(1)), std::string::npos);
}

TEST_P(ShippedLanguage, NoTwoControlsShownTogetherShareAnAccessKey)
{
    WindowModel window;
    FakePlatform platform;
    MainForm form {window, platform.files, platform.drives, platform.clock, ini, platform.numbers, {}, {}, {}, {}};
    LoadLanguage(form);
    std::vector<std::string> mainWindow;
    {
        using enum Control;
        for (const Control control : {SourceLabel, DestinationLabel, IntervalLabel, LogLabel, Move, Copy, Overwrite}) {
            mainWindow.push_back(window.text(control));
        }
        for (const Control control : {ShowLog, Settings, Quit}) {
            mainWindow.push_back(window.text(control));
        }
        expectDistinctAccessKeys({window.text(TrayShow), window.text(OpenLogFile), window.text(TrayQuit)}, "tray menu");
    }
    // The Start button is Stop while started and Cancel during a run.
    for (const std::size_t startStop : {12U, 11U, 32U}) {
        std::vector<std::string> shown = mainWindow;
        shown.push_back(form.texts[startStop]);
        expectDistinctAccessKeys(shown, "main window with t" + std::to_string(startStop));
    }

    DialogModel dialog;
    LoadLanguage(dialog, ini);
    std::vector<std::string> options;
    using enum DialogControl;
    for (const DialogControl control : {LanguageLabel, SaveOnClose, AskBeforeSaving, RunOnStart, SendToTray, Cancel}) {
        options.push_back(dialog.text(control));
    }
    for (const DialogControl control : {AnyDestinationDisk, RunOnArrival, KeepBoth, About, Save}) {
        options.push_back(dialog.text(control));
    }
    expectDistinctAccessKeys(options, "options dialog");
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedLanguage, ::testing::ValuesIn(shippedLanguages()));

TEST(BuiltInEnglish, HoldsEveryTextAndThePlatformsOwnWording)
{
    for (int key = 0; key <= lastLaterText; ++key) {
        EXPECT_NE(builtInEnglish(key), "") << "t" << key;
    }
    MemoryTextFiles none;
    const IniStore noLanguage(none);
    for (int problem = 0; problem <= static_cast<int>(Problem::DestinationDiskChanged); ++problem) {
        EXPECT_EQ(problemText(noLanguage, static_cast<Problem>(problem)), englishText(static_cast<Problem>(problem)));
    }
}

TEST(LaterTexts, TakeEachArgumentOnceAndLeaveOtherSigns)
{
    EXPECT_EQ(withArguments("%2 in %1, 100%", {"a%2", "b"}), "b in a%2, 100%");
}

TEST(ShippedGerman, ReadsItsUmlauts)
{
    SourceTreeFiles files;
    IniStore ini(files);
    ini.languageFile = std::string(CARROVEX_SOURCE_DIR) + "/lang/Deutsch.dat";
    EXPECT_EQ(languageText(ini, 8), "Vorhandene Dateien überschreiben");
}

} // namespace

} // namespace carrovex::testing
