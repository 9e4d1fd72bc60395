#include "settings/LanguageCatalogue.h"

#include "platform/model/DialogModel.h"
#include "platform/posix/PosixTextFiles.h"
#include "store/IniStore.h"
#include "tests/MainFormFixture.h"

#include <gtest/gtest.h>
#include <vector>

namespace carrovex::testing
{

namespace
{

class Catalogue : public MainFormFixture
{
protected:
    std::string& languageFile()
    {
        return textFiles.files["/prog/lang/Test.dat"];
    }
};

TEST_F(Catalogue, LoadsTheTextsAndGivesTheControlsTheirCaptions)
{
    languageFile() = "[frmMain]\nt0=Source folder\nT12=&Start\nt38=&Set&tings\nt16=Stopped\n";

    LoadLanguage(form);

    EXPECT_EQ(form.texts[0], "Source folder");
    EXPECT_EQ(form.texts[16], "Stopped");
    EXPECT_EQ(form.texts[1], "");
    EXPECT_EQ(window.text(Control::SourceLabel), "Source folder");
    EXPECT_EQ(window.text(Control::StartStop), "&Start");
    EXPECT_EQ(window.text(Control::Settings), "&Set&tings");
}

TEST_F(Catalogue, MissingFileEmptiesEveryCaption)
{
    window.setText(Control::Quit, "&Quit");

    LoadLanguage(form);

    for (const Control control : {Control::SourceLabel,
             Control::LogLabel,
             Control::Move,
             Control::ShowLog,
             Control::StartStop,
             Control::Quit,
             Control::Settings}) {
        EXPECT_EQ(window.text(control), "");
    }
}

TEST_F(Catalogue, StoredLanguageIsTheActiveOne)
{
    textFiles.files["/prog/Carrovex.ini"] = "[Options]\nLanguage=English\n";
    form.languageFolders = {"/prog/lang"};

    useStoredLanguage(form);

    EXPECT_EQ(ini.languageFile, "/prog/lang/English.dat");
    EXPECT_EQ(form.language, "English");
}

// The user's own folder comes first, the installed languages last.
struct LookupCase {
    const char* name;
    std::vector<std::string> filesThere;
    bool ownFolderUnreadable;
    const char* found;

    friend void PrintTo(const LookupCase& row, std::ostream* out)
    {
        *out << row.name;
    }
};

class LanguageLookup : public MainFormFixture, public ::testing::WithParamInterface<LookupCase>
{
};

TEST_P(LanguageLookup, FindsTheFileInTheFirstFolderThatHoldsIt)
{
    const LookupCase& c = GetParam();
    form.languageFolders = {"/home/anna/.config/carrovex/lang", "/usr/share/carrovex/lang"};
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
    ::testing::Values(LookupCase {"OwnFileWins",
                          {"/usr/share/carrovex/lang/English.dat", "/home/anna/.config/carrovex/lang/English.dat"},
                          false,
                          "/home/anna/.config/carrovex/lang/English.dat"},
        LookupCase {"InstalledFileWhenTheUserHasNone",
            {"/usr/share/carrovex/lang/English.dat", "/home/anna/.config/carrovex/lang/Deutsch.dat"},
            false,
            "/usr/share/carrovex/lang/English.dat"},
        LookupCase {"OwnFileAlone",
            {"/home/anna/.config/carrovex/lang/English.dat"},
            false,
            "/home/anna/.config/carrovex/lang/English.dat"},
        LookupCase {"NowhereNamesTheInstalledPlace", {}, false, "/usr/share/carrovex/lang/English.dat"},
        LookupCase {"OwnFolderThatCannotBeLookedAtIsPassedBy",
            {"/usr/share/carrovex/lang/English.dat", "/home/anna/.config/carrovex/lang/English.dat"},
            true,
            "/usr/share/carrovex/lang/English.dat"}));

TEST_F(Catalogue, LongTextsAreCutTo255Characters)
{
    languageFile() = "[frmMain]\nt2=" + std::string(300, 'i') + "\n";
    LoadLanguage(form);
    EXPECT_EQ(window.text(Control::IntervalLabel), std::string(255, 'i'));
}

TEST_F(Catalogue, DialogTitleDropsTheAccessKeyMarks)
{
    languageFile() = "[frmMain]\nt38=&Ein&stellungen\nt37=Speichern\nt43=Sprache\nt42=&Speichern\n";
    DialogModel dialog;

    LoadLanguage(dialog, ini);

    EXPECT_EQ(dialog.title(), "Carrovex Lite - Einstellungen");
    EXPECT_EQ(dialog.text(DialogControl::SaveOnClose), "Speichern");
    EXPECT_EQ(dialog.text(DialogControl::LanguageLabel), "Sprache");
    EXPECT_EQ(dialog.text(DialogControl::Save), "&Speichern");
    EXPECT_EQ(dialog.text(DialogControl::RunOnStart), "");
}

class ShippedLanguage : public ::testing::TestWithParam<const char*>
{
};

TEST_P(ShippedLanguage, HasEveryTextAndACancelButtonThatCanBeTold)
{
    posix::PosixTextFiles files;
    IniStore ini(files);
    ini.languageFile = std::string(CARROVEX_SOURCE_DIR) + "/lang/" + GetParam() + ".dat";
    for (int key = 0; key <= 44; ++key) {
        EXPECT_NE(languageText(ini, key), "") << "t" << key;
    }
    EXPECT_NE(languageText(ini, 32), languageText(ini, 11));
    EXPECT_NE(languageText(ini, 32), languageText(ini, 12));
    EXPECT_NE(languageText(ini, 5).find(languageText(ini, 4).substr(1)), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedLanguage, ::testing::Values("Deutsch", "English"));

TEST(ShippedGerman, ReadsItsUmlauts)
{
    posix::PosixTextFiles files;
    IniStore ini(files);
    ini.languageFile = std::string(CARROVEX_SOURCE_DIR) + "/lang/Deutsch.dat";
    EXPECT_EQ(languageText(ini, 8), "Vorhandene Dateien überschreiben");
}

} // namespace

} // namespace carrovex::testing
