#include "platform/posix/FolderLayout.h"

#include "platform/posix/PosixNumberFormat.h"
#include "tests/TableRows.h"
#include "tests/posix/DiskFixtures.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace carrovex::testing
{

namespace
{

namespace fs = std::filesystem;

struct UserCase : NamedRow {
    posix::UserEnvironment user;
    const char* settings;
};

using UserSettingsFolder = ::testing::TestWithParam<UserCase>;

TEST_P(UserSettingsFolder, FollowsTheXdgRules)
{
    EXPECT_EQ(posix::userSettingsFolder(GetParam().user), GetParam().settings);
}

INSTANTIATE_TEST_SUITE_P(Cases,
    UserSettingsFolder,
    ::testing::Values(UserCase {"ConfigHome", {"/cfg", "/home/anna"}, "/cfg/carrovex"},
        UserCase {"ConfigHomeWithSlash", {"/cfg/", "/home/anna"}, "/cfg/carrovex"},
        UserCase {"NoConfigHome", {std::nullopt, "/home/anna"}, "/home/anna/.config/carrovex"},
        UserCase {"EmptyConfigHome", {"", "/home/anna"}, "/home/anna/.config/carrovex"},
        UserCase {"RelativeConfigHomeIsIgnored", {"cfg", "/home/anna"}, "/home/anna/.config/carrovex"},
        UserCase {"NoHome", {std::nullopt, std::nullopt}, ""},
        UserCase {"RelativeHome", {std::nullopt, "anna"}, ""}));

// The process's environment, changed for one test and put back afterwards.
class Environment : public ::testing::Test
{
protected:
    ~Environment() override
    {
        for (const auto& [name, value] : m_saved) {
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        }
    }

    void set(const std::string& name, const std::optional<std::string>& value)
    {
        if (m_saved.count(name) == 0) {
            const char* old = std::getenv(name.c_str());
            m_saved[name] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        }
        value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

TEST_F(Environment, EmptyVariablesCountAsUnset)
{
    set("XDG_CONFIG_HOME", "");
    set("HOME", "/home/anna");
    const posix::UserEnvironment user = posix::userEnvironment();
    EXPECT_EQ(user.configHome, std::nullopt);
    EXPECT_EQ(user.home, "/home/anna");

    set("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(posix::userEnvironment().configHome, "/cfg");
}

TEST_F(Environment, WithoutHomeTheUserDatabaseGivesIt)
{
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    for (const std::optional<std::string>& home : {std::optional<std::string>(), std::optional<std::string>("")}) {
        set("HOME", home);
        EXPECT_EQ(posix::userEnvironment().home, std::string(entry->pw_dir));
    }
}

// A container may run the program under a user id that the user database does not know.
TEST_F(Environment, WithoutHomeOrAnEntryInTheUserDatabaseThereIsNoHome)
{
    constexpr unsigned unknownUser = 54321;
    if (::geteuid() != 0 || ::getpwuid(unknownUser) != nullptr) {
        GTEST_SKIP() << "needs root and a user id that the user database does not know";
    }
    set("HOME", std::nullopt);
    EXPECT_TRUE(asUnprivilegedUser([] { return !posix::userEnvironment().home; }, unknownUser));
}

// A German user writes an interval of one and a half minutes as "1,5": the decimal sign is the one of the
// locale the program runs in. The locale is made for the test, since a machine may have none but C.
TEST_F(Environment, DecimalSignFollowsTheLocale)
{
    TempFolder locales;
    const std::string german = locales.path() + "/de_DE.UTF-8";
    shell("localedef -c -i de_DE -f UTF-8 '" + german + "'"); // warns of gaps in the source, with its status
    if (!exists(german + "/LC_NUMERIC")) {
        GTEST_SKIP() << "localedef and the de_DE locale source (package locales) are needed";
    }
    set("LOCPATH", locales.path());
    const posix::PosixNumberFormat numbers;

    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    EXPECT_EQ(numbers.decimalSeparator(), ",");
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(numbers.decimalSeparator(), ".");
}

// A program folder on disk, as a build, a copied folder or an installation leaves it.
class ProgramLayout : public ::testing::Test
{
protected:
    ProgramLayout()
    {
        ::chmod(temp.path().c_str(), 0755); // the unprivileged user must reach it
    }

    // "lang" and "ini" put a lang/ folder and a settings file beside the program; "installed" puts it in
    // prefix/bin with the languages in prefix/share/carrovex/lang, as `cmake --install` lays it out.
    std::string program(const std::string& layout) const
    {
        if (layout == "installed") {
            fs::create_directories(temp.path() + "/usr/share/carrovex/lang");
            return temp.folder("usr/bin");
        }
        const std::string program = temp.folder("portable");
        if (layout.find("lang") != std::string::npos) {
            fs::create_directory(program + "/lang");
        }
        if (layout.find("ini") != std::string::npos) {
            writeFile(program + "/Carrovex.ini", "[Options]\n");
        }
        return program;
    }

    TempFolder temp;
    const posix::UserEnvironment anna {std::nullopt, "/home/anna"};
};

// In the expected folders @P stands for the program folder, @T for the test's, @I for the installed
// languages in it, @U for the user's settings
// folder, @S for the user's state folder and @G for the folder given on the command line; languages are
// separated by blanks.
struct LayoutCase : NamedRow {
    const char* layout;
    bool given;
    bool home;
    const char* settings;
    const char* languages;
    const char* log;
};

using ProgramLayouts = Table<ProgramLayout, LayoutCase>;

TEST_P(ProgramLayouts, PlaceTheSettingsAndLanguages)
{
    const LayoutCase& c = GetParam();
    const std::string folder = program(c.layout);
    const auto filled = [&](std::string text) {
        const std::pair<std::string, std::string> marks[] = {{"@P", folder},
            {"@I", temp.path() + "/usr/share/carrovex/lang"},
            {"@T", temp.path()},
            {"@U", "/home/anna/.config/carrovex"},
            {"@S", "/home/anna/.local/state/carrovex"},
            {"@G", "/etc/carrovex/archive"}};
        for (const auto& [mark, value] : marks) {
            for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark)) {
                text.replace(at, mark.size(), value);
            }
        }
        return text;
    };

    const ProgramFolders found = posix::findProgramFolders(folder,
        c.given ? std::optional<std::string>(filled("@G")) : std::nullopt,
        c.home ? anna : posix::UserEnvironment {});

    EXPECT_EQ(found.settings, filled(c.settings));
    std::string languages;
    for (const std::string& language : found.languages) {
        languages += (languages.empty() ? "" : " ") + language;
    }
    EXPECT_EQ(languages, filled(c.languages));
    EXPECT_EQ(found.log, filled(c.log));
}

INSTANTIATE_TEST_SUITE_P(Cases,
    ProgramLayouts,
    ::testing::Values(LayoutCase {"PortableKeepsAllBesideTheProgram", "lang", false, true, "@P", "@P/lang", "@P"},
        LayoutCase {
            "SettingsFileAloneMakesItPortable", "ini", false, true, "@P", "@P/lang @T/share/carrovex/lang", "@P"},
        LayoutCase {"InstalledKeepsSettingsPerUser", "installed", false, true, "@U", "@U/lang @I", "@S"},
        LayoutCase {"InstalledWithoutAHome", "installed", false, false, "@P", "@P/lang @I", "@P"},
        LayoutCase {"GivenFolderFirstPortable", "lang ini", true, true, "@G", "@G/lang @P/lang", "@G"},
        LayoutCase {"GivenFolderFirstInstalled", "installed", true, true, "@G", "@G/lang @I", "@G"}),
    rowName);

TEST_F(ProgramLayout, PortableFolderThatCannotBeWrittenKeepsSettingsPerUser)
{
    const std::string folder = program("lang ini");
    const auto settingsAsUser = [&] { return posix::findProgramFolders(folder, std::nullopt, anna).settings; };

    ::chmod(folder.c_str(), 0555);
    EXPECT_TRUE(asUnprivilegedUser([&] { return settingsAsUser() == "/home/anna/.config/carrovex"; }));
    ::chmod(folder.c_str(), 0777);
    EXPECT_TRUE(asUnprivilegedUser([&] { return settingsAsUser() == folder; }));
}

TEST_F(ProgramLayout, SettingsFolderIsMadeWithItsParentsPrivate)
{
    const std::string folder = temp.path() + "/home/.config/carrovex";

    ASSERT_TRUE(posix::makeSettingsFolder(folder).ok());
    ASSERT_TRUE(posix::makeSettingsFolder(folder).ok()); // there already

    for (const std::string& made : {temp.path() + "/home", temp.path() + "/home/.config", folder}) {
        EXPECT_EQ(statOf(made).st_mode & 07777, 0700U) << made;
    }
}

TEST_F(ProgramLayout, SettingsFolderFailsWhereAFileIsInTheWay)
{
    writeFile(temp.path() + "/file", "");

    const Status under = posix::makeSettingsFolder(temp.path() + "/file/carrovex");
    const Status itself = posix::makeSettingsFolder(temp.path() + "/file");

    EXPECT_EQ(under.error(), "Not a directory");
    EXPECT_EQ(itself.error(), "File exists");
}

} // namespace

} // namespace carrovex::testing
