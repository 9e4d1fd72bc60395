#include "platform/posix/FolderLayout.h"

#include "tests/posix/DiskFixtures.h"

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

struct UserCase {
    const char* name;
    posix::UserEnvironment user;
    const char* settings;

    friend void PrintTo(const UserCase& row, std::ostream* out)
    {
        *out << row.name;
    }
};

class UserSettingsFolder : public ::testing::TestWithParam<UserCase>
{
};

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

// A program folder on disk, as a build, a copied folder or an installation leaves it.
class ProgramLayout : public ::testing::Test
{
protected:
    ProgramLayout()
    {
        ::chmod(temp.path().c_str(), 0755); // the unprivileged user must reach it
    }

    // Beside the program a lang/ folder, a settings file, or (installed) neither: prefix/bin with the
    // languages in prefix/share/carrovex/lang, as `cmake --install` lays it out.
    std::string program(bool languages, bool settings, bool installed = false) const
    {
        if (installed) {
            fs::create_directories(temp.path() + "/usr/share/carrovex/lang");
            return temp.folder("usr/bin");
        }
        const std::string program = temp.folder("portable");
        if (languages) {
            fs::create_directory(program + "/lang");
        }
        if (settings) {
            writeFile(program + "/Carrovex.ini", "[Options]\n");
        }
        return program;
    }

    TempFolder temp;
    const posix::UserEnvironment anna {std::nullopt, "/home/anna"};
};

struct LayoutCase {
    const char* name;
    bool languages, settingsFile, installed;
    std::optional<std::string> given;
    bool withHome;
    const char* settings; // {P} stands for the program folder, {T} for the folder around it
    std::vector<std::string> languageFolders;
};

class ProgramLayouts : public ProgramLayout, public ::testing::WithParamInterface<LayoutCase>
{
protected:
    std::string filled(std::string text, const std::string& program) const
    {
        for (const auto& [mark, value] :
            {std::pair {std::string("{P}"), program}, std::pair {std::string("{T}"), temp.path()}}) {
            if (const auto at = text.find(mark); at != std::string::npos) {
                text.replace(at, mark.size(), value);
            }
        }
        return text;
    }
};

TEST_P(ProgramLayouts, PlaceTheSettingsAndLanguages)
{
    const LayoutCase& c = GetParam();
    const std::string folder = program(c.languages, c.settingsFile, c.installed);

    const ProgramFolders found
        = posix::findProgramFolders(folder, c.given, c.withHome ? anna : posix::UserEnvironment {});

    EXPECT_EQ(found.settings, filled(c.settings, folder));
    std::vector<std::string> languages;
    for (const std::string& language : c.languageFolders) {
        languages.push_back(filled(language, folder));
    }
    EXPECT_EQ(found.languages, languages);
}

const std::string user = "/home/anna/.config/carrovex";
const std::string given = "/etc/carrovex/archive";

INSTANTIATE_TEST_SUITE_P(Cases,
    ProgramLayouts,
    ::testing::Values(
        LayoutCase {"PortableKeepsAllBesideTheProgram", true, false, false, {}, true, "{P}", {"{P}/lang"}},
        LayoutCase {"SettingsFileAloneMakesItPortable",
            false,
            true,
            false,
            {},
            true,
            "{P}",
            {"{P}/lang", "{T}/share/carrovex/lang"}},
        LayoutCase {"InstalledKeepsSettingsPerUserEvenForRoot",
            false,
            false,
            true,
            {},
            true,
            user.c_str(),
            {user + "/lang", "{T}/usr/share/carrovex/lang"}},
        LayoutCase {"InstalledWithoutAHomeKeepsThemWithTheProgram",
            false,
            false,
            true,
            {},
            false,
            "{P}",
            {"{P}/lang", "{T}/usr/share/carrovex/lang"}},
        LayoutCase {"GivenFolderComesFirstPortable",
            true,
            true,
            false,
            given,
            true,
            given.c_str(),
            {given + "/lang", "{P}/lang"}},
        LayoutCase {"GivenFolderComesFirstInstalled",
            false,
            false,
            true,
            given,
            true,
            given.c_str(),
            {given + "/lang", "{T}/usr/share/carrovex/lang"}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(ProgramLayout, PortableFolderThatCannotBeWrittenKeepsSettingsPerUser)
{
    const std::string folder = program(true, true);
    const auto settingsAsUser = [&] { return posix::findProgramFolders(folder, std::nullopt, anna).settings; };

    ::chmod(folder.c_str(), 0555);
    EXPECT_TRUE(asUnprivilegedUser([&] { return settingsAsUser() == user; }));
    ::chmod(folder.c_str(), 0777);
    EXPECT_TRUE(asUnprivilegedUser([&] { return settingsAsUser() == folder; }));
}

TEST_F(ProgramLayout, SettingsFolderIsMadeWithItsParentsPrivate)
{
    const std::string folder = temp.path() + "/home/.config/carrovex";

    ASSERT_TRUE(posix::makeSettingsFolder(folder).ok());
    ASSERT_TRUE(posix::makeSettingsFolder(folder).ok()); // there already

    for (const std::string& made : {temp.path() + "/home", temp.path() + "/home/.config", folder}) {
        struct stat info {
        };
        ASSERT_EQ(::stat(made.c_str(), &info), 0) << made;
        EXPECT_EQ(info.st_mode & 07777, 0700U) << made;
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
