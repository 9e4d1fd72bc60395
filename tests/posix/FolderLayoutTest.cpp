#include "platform/posix/FolderLayout.h"

#include "tests/posix/DiskFixtures.h"

#include <cstdlib>
#include <filesystem>
#include <gmock/gmock.h>
#include <map>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using ::testing::ElementsAre;

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

    std::string portable(bool withLanguages, bool withSettings) const
    {
        const std::string program = temp.folder("portable");
        if (withLanguages) {
            fs::create_directory(program + "/lang");
        }
        if (withSettings) {
            writeFile(program + "/Carrovex.ini", "[Options]\n");
        }
        return program;
    }

    // prefix/bin with the languages in prefix/share/carrovex/lang, as `cmake --install` lays it out.
    std::string installed() const
    {
        fs::create_directories(prefix() + "/share/carrovex/lang");
        return temp.folder("usr/bin");
    }

    std::string prefix() const
    {
        return temp.path() + "/usr";
    }

    TempFolder temp;
    const posix::UserEnvironment anna {std::nullopt, "/home/anna"};
};

TEST_F(ProgramLayout, PortableFolderKeepsSettingsAndLanguagesBesideTheProgram)
{
    const std::string program = portable(true, false);

    const ProgramFolders folders = posix::findProgramFolders(program, std::nullopt, anna);

    EXPECT_EQ(folders.settings, program);
    EXPECT_THAT(folders.languages, ElementsAre(program + "/lang"));
}

TEST_F(ProgramLayout, SettingsFileAloneMakesTheFolderPortable)
{
    const std::string program = portable(false, true);

    const ProgramFolders folders = posix::findProgramFolders(program, std::nullopt, anna);

    EXPECT_EQ(folders.settings, program);
    EXPECT_THAT(folders.languages, ElementsAre(program + "/lang", temp.path() + "/share/carrovex/lang"));
}

TEST_F(ProgramLayout, InstalledProgramKeepsSettingsPerUserEvenForRoot)
{
    const std::string program = installed();

    const ProgramFolders folders = posix::findProgramFolders(program, std::nullopt, anna);

    EXPECT_EQ(folders.settings, "/home/anna/.config/carrovex");
    EXPECT_THAT(folders.languages, ElementsAre("/home/anna/.config/carrovex/lang", prefix() + "/share/carrovex/lang"));
}

TEST_F(ProgramLayout, WithoutAHomeTheSettingsStayWithTheProgram)
{
    const std::string program = installed();
    EXPECT_EQ(posix::findProgramFolders(program, std::nullopt, {}).settings, program);
}

TEST_F(ProgramLayout, GivenFolderHoldsTheSettingsAndComesFirstForLanguages)
{
    for (const std::string& program : {portable(true, true), installed()}) {
        const ProgramFolders folders = posix::findProgramFolders(program, "/etc/carrovex/archive", anna);

        EXPECT_EQ(folders.settings, "/etc/carrovex/archive");
        ASSERT_EQ(folders.languages.size(), 2U);
        EXPECT_EQ(folders.languages[0], "/etc/carrovex/archive/lang");
    }
}

TEST_F(ProgramLayout, PortableFolderThatCannotBeWrittenKeepsSettingsPerUser)
{
    const std::string program = portable(true, true);
    const auto settingsAsUser = [&] { return posix::findProgramFolders(program, std::nullopt, anna).settings; };

    ::chmod(program.c_str(), 0555);
    EXPECT_TRUE(asUnprivilegedUser([&] { return settingsAsUser() == "/home/anna/.config/carrovex"; }));
    ::chmod(program.c_str(), 0777);
    EXPECT_TRUE(asUnprivilegedUser([&] { return settingsAsUser() == program; }));
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
