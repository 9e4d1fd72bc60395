#include "tests/TableRows.h"
#include "tests/schedule/SchedulerFixture.h"

#include <gmock/gmock.h>

namespace carrovex::testing
{

namespace
{

// The program with "SendToTray" as the row says, on a desktop with or without a tray.
struct TrayCase : NamedRow {
    const char* sendToTray;
    bool tray;
    bool toTray; // closing and minimising leave only the tray icon
};

class Tray : public SchedulerFixture, public ::testing::WithParamInterface<TrayCase>
{
protected:
    Tray()
    {
        settings(std::string("From=/src\nTo=/dst\nSave=0\n") + GetParam().sendToTray);
        window.setTray(GetParam().tray);
        load();
    }
};

TEST_P(Tray, CloseBoxAndMinimisingSendTheWindowToTheTrayWhenAsked)
{
    const bool toTray = GetParam().toTray;
    window.minimize(true);
    EXPECT_EQ(window.isHiddenToTray(), toTray);

    window.click(Control::TrayShow);
    EXPECT_FALSE(window.isMinimized());

    window.requestClose();
    EXPECT_EQ(window.isClosed(), !toTray);
    EXPECT_EQ(window.isHiddenToTray(), toTray);

    window.click(Control::TrayQuit); // the tray's Quit always quits
    EXPECT_TRUE(window.isClosed());
}

INSTANTIATE_TEST_SUITE_P(Table,
    Tray,
    ::testing::Values(TrayCase {"OffByDefault", "", true, false},
        TrayCase {"On", "SendToTray=1\n", true, true},
        TrayCase {"OnWithoutATray", "SendToTray=1\n", false, false}),
    rowName);

using TrayMenu = SchedulerFixture;

TEST_F(TrayMenu, EntriesAndPlatformTextsFollowTheLanguage)
{
    textFiles.files["/prog/lang/Deutsch.dat"] += "t46=Fenster &anzeigen\nt53=de\n";
    load();
    EXPECT_EQ(window.text(Control::TrayShow), "Fenster &anzeigen");
    EXPECT_EQ(window.text(Control::TrayQuit), "t13");
    EXPECT_EQ(window.platformLanguage(), "de");

    setLanguageText(0, "x"); // an older file: no texts after t44
    std::string& file = textFiles.files["/prog/lang/Deutsch.dat"];
    file.erase(file.find("t46="));
    load();
    EXPECT_EQ(window.text(Control::TrayShow), "&Show window");
    EXPECT_EQ(window.platformLanguage(), "en");
}

} // namespace

} // namespace carrovex::testing
