#include "platform/common/BackgroundFileSystem.h"
#include "platform/qt/EventsDuring.h"
#include "platform/qt/LogView.h"
#include "platform/qt/QtOptionsDialog.h"
#include "platform/qt/ToolTipText.h"
#include "tests/qt/QtFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

namespace carrovex::testing
{

namespace
{

// The whole text of a label, option, check box or button is visible in the room it was given.
void expectWholeTextVisible(QWidget* widget, const std::string& where)
{
    const QFontMetrics metrics = widget->fontMetrics();
    if (const auto* label = qobject_cast<QLabel*>(widget)) {
        EXPECT_GE(label->width(), metrics.horizontalAdvance(label->text())) << where;
        EXPECT_GE(label->height(), metrics.height()) << where;
    } else if (const auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QString text = button->text();
        text.remove(QLatin1Char('&'));
        const int needed = qobject_cast<const QPushButton*>(widget) != nullptr ? metrics.horizontalAdvance(text)
                                                                               : button->sizeHint().width();
        EXPECT_GE(button->width(), needed) << where;
        EXPECT_GE(button->height(), metrics.height()) << where;
    }
}

// The real window with the shipped languages, on the offscreen platform.
class QtWindow : public ::testing::TestWithParam<const char*>, protected QtProgram
{
protected:
    QtWindow()
        : QtProgram(GetParam(), files)
    {
        files.addFolder("/src");
        files.addFolder("/dst");
    }

    FakeFileSystem files;
};

TEST_P(QtWindow, EveryTextOfTheMainWindowIsWhole)
{
    load();
    for (const Control control : {Control::SourceLabel,
             Control::DestinationLabel,
             Control::IntervalLabel,
             Control::LogLabel,
             Control::Move,
             Control::Copy,
             Control::ShowLog,
             Control::Overwrite,
             Control::Settings,
             Control::StartStop,
             Control::Quit,
             Control::BrowseSource,
             Control::BrowseDestination}) {
        expectWholeTextVisible(window.widget(control), window.text(control));
    }
    // The run's Cancel text and the Stop text fit the same button.
    for (const int key : {11, 32}) {
        window.setText(Control::StartStop, form.texts[static_cast<std::size_t>(key)]);
        expectWholeTextVisible(window.widget(Control::StartStop), form.texts[static_cast<std::size_t>(key)]);
    }
}

TEST_P(QtWindow, EveryTextOfTheOptionsDialogIsWhole)
{
    load();
    qt::QtOptionsDialog dialog(&window);
    LoadLanguage(dialog, ini);
    for (const DialogControl control : {DialogControl::LanguageLabel,
             DialogControl::SaveOnClose,
             DialogControl::AskBeforeSaving,
             DialogControl::RunOnStart,
             DialogControl::Cancel,
             DialogControl::Save}) {
        expectWholeTextVisible(dialog.widget(control), dialog.text(control));
    }
}

TEST_P(QtWindow, LogPaneLayoutsDifferBy1020Twips)
{
    load();
    const int tall = window.height();
    window.setValue(Control::ShowLog, 0);
    const int shortHeight = window.height();
    EXPECT_NEAR((tall - shortHeight) * window.twipsPerPixelY(), 1020, window.twipsPerPixelY());
    EXPECT_FALSE(window.widget(Control::Log)->isVisibleTo(&window));
    EXPECT_NEAR(window.widget(Control::Quit)->y() * window.twipsPerPixelY(), 2190, window.twipsPerPixelY());
}

INSTANTIATE_TEST_SUITE_P(Languages, QtWindow, ::testing::Values("Deutsch", "English"));

// The events of a window without its logic, in the order they came.
struct Recorder final : MainWindowEvents {
    std::vector<std::string> seen;
    void changed(Control) override
    {
        seen.push_back("changed");
    }
    void clicked(Control control) override
    {
        seen.push_back("clicked " + std::to_string(static_cast<int>(control)));
    }
    void validate(Control) override
    {
    }
    void timerTicked() override
    {
    }
    void mouseMoved(Control, int, double, double) override
    {
    }
    void resized() override
    {
    }
    void shown() override
    {
        seen.push_back("shown");
    }
    bool closeRequested() override
    {
        return true;
    }
};

std::string clickOf(Control control)
{
    return "clicked " + std::to_string(static_cast<int>(control));
}

TEST(QtWindowEvents, TextsAndCheckBoxesRaiseTheirEventsAndTheLogStaysCapped)
{
    Recorder recorder;
    qt::QtMainWindow window;
    window.setEvents(&recorder);

    window.setText(Control::SourceFolder, "/a");
    window.setText(Control::SourceFolder, "/a");
    window.setValue(Control::Overwrite, 1);
    window.setValue(Control::Overwrite, 1);
    EXPECT_EQ(recorder.seen, (std::vector<std::string> {"changed", clickOf(Control::Overwrite)}));

    for (int i = 0; i < 100'010; ++i) {
        window.appendLine(std::to_string(i));
    }
    window.removeLastLine();
    EXPECT_EQ(window.lineCount(), 99'999);
    EXPECT_EQ(window.lineText(0), "10");
    window.selectLine(window.lineCount() - 1);
    EXPECT_EQ(static_cast<qt::LogView*>(window.widget(Control::Log))->selected(), 99'998);
}

TEST(QtWindowKeys, EnterPressesTheFocusedButtonOrElseStart)
{
    Recorder recorder;
    qt::QtMainWindow window;
    window.setEvents(&recorder);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    struct Case {
        Control focused;
        Control pressed;
    };
    const Case cases[] = {{Control::SourceFolder, Control::StartStop},
        {Control::Interval, Control::StartStop},
        {Control::Copy, Control::StartStop},
        {Control::Overwrite, Control::StartStop},
        {Control::ShowLog, Control::StartStop},
        {Control::Log, Control::StartStop},
        {Control::Settings, Control::Settings},
        {Control::Quit, Control::Quit},
        {Control::BrowseDestination, Control::BrowseDestination}};
    for (const Case& c : cases) {
        window.widget(c.focused)->setFocus();
        recorder.seen.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(recorder.seen, std::vector<std::string> {clickOf(c.pressed)}) << static_cast<int>(c.focused);
    }
    window.setEnabled(Control::StartStop, false);
    window.widget(Control::Overwrite)->setFocus();
    recorder.seen.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(recorder.seen.empty()); // a disabled Start takes no Enter
}

TEST(QtDialogKeys, TheDialogTakesKeysAtOnceAndEnterPressesTheFocusedButtonOrElseSave)
{
    FakeFileSystem files;
    files.addFolder("/src");
    files.addFolder("/dst");
    files.addFolder("/prog/lang");
    files.addFile("/prog/lang/Deutsch.dat", 1);
    files.addFile("/prog/lang/English.dat", 1);
    QtProgram program("English", files);
    program.load();
    program.window.show();
    program.controller.clicked(Control::Settings);
    auto* dialog = program.window.findChild<qt::QtOptionsDialog*>();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));

    // The keys reach the first check box without a click: Space ticks it, Tab moves on.
    ASSERT_EQ(QApplication::focusWidget(), dialog->widget(DialogControl::SaveOnClose));
    const int saveOnClose = dialog->value(DialogControl::SaveOnClose);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_NE(dialog->value(DialogControl::SaveOnClose), saveOnClose);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog->widget(DialogControl::AskBeforeSaving));

    // The language is a pick list: typing chooses among the listed names, it adds none.
    QWidget* languages = dialog->widget(DialogControl::Language);
    languages->setFocus();
    QTest::keyClicks(languages, QStringLiteral("Englishxyz"));
    EXPECT_THAT(dialog->text(DialogControl::Language), ::testing::AnyOf("English", "Deutsch"));

    // Enter on the focused Cancel cancels; nothing is written.
    const int writes = program.settings.writes;
    dialog->widget(DialogControl::Cancel)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(program.settings.writes, writes);
    EXPECT_FALSE(dialog->isVisible());
}

TEST(QtDialogKeys, EnterOnACheckBoxSaves)
{
    qt::QtOptionsDialog dialog(nullptr);
    struct Logic final : OptionsDialogEvents {
        std::vector<DialogControl> clicks;
        void load() override
        {
        }
        void clicked(DialogControl control) override
        {
            clicks.push_back(control);
        }
    } logic;
    dialog.setEvents(&logic);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.widget(DialogControl::RunOnStart)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(logic.clicks, std::vector<DialogControl> {DialogControl::Save});
}

TEST(QtPlatformTexts, FollowTheChosenLanguage)
{
    qt::QtMainWindow window;
    window.setPlatformLanguage("de");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Ja"));
    window.setPlatformLanguage("en");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
}

TEST(QtToolTip, LongLinesAreBrokenToFitWithNothingLost)
{
    const QString name = QString(400, QLatin1Char('n')) + QStringLiteral(".txt");
    const QString line
        = QStringLiteral("06.12.2026 21:30:00 - Fehler: Die Datei wurde beim Kopieren geändert - ") + name;
    const QFontMetrics metrics(QApplication::font());

    const QString wrapped = qt::wrappedToWidth(line, metrics, 200);

    for (const QString& part : wrapped.split(QLatin1Char('\n'))) {
        EXPECT_LE(metrics.horizontalAdvance(part), 200) << part.toStdString();
    }
    QString joined = wrapped;
    EXPECT_EQ(joined.remove(QLatin1Char('\n')).remove(QLatin1Char(' ')), QString(line).remove(QLatin1Char(' ')));
    EXPECT_TRUE(wrapped.endsWith(QStringLiteral(".txt")));
    EXPECT_EQ(qt::wrappedToWidth(QStringLiteral("short line"), metrics, 200), QStringLiteral("short line"));
}

TEST(QtWindowPlace, CentredAtTheFirstShowAndTheLogicToldOnce)
{
    Recorder recorder;
    qt::QtMainWindow window;
    window.setEvents(&recorder);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(10);

    const QPoint screenCentre = QApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((window.geometry().center() - screenCentre).manhattanLength(), 2);
    window.hide();
    window.show();
    QTest::qWait(10);
    EXPECT_EQ(std::count(recorder.seen.begin(), recorder.seen.end(), "shown"), 1);
}

// A copy that takes half a second.
class SlowCopy final : public FileSystem
{
public:
    std::string joinPath(const std::string& folder, const std::string& name) const override
    {
        return folder + "/" + name;
    }
    Result<std::vector<std::string>> listPlainFiles(const std::string&) override
    {
        return std::vector<std::string> {};
    }
    bool folderExists(const std::string&) override
    {
        return true;
    }
    Result<bool> fileExists(const std::string&) override
    {
        return false;
    }
    Result<bool> sameFile(const std::string&, const std::string&) override
    {
        return false;
    }
    Result<std::int64_t> fileLength(const std::string&) override
    {
        return std::int64_t {0};
    }
    Result<bool> sameContent(const std::string&, const std::string&) override
    {
        return false;
    }
    Status startTransfer(const std::string&, const std::string&, Transfer) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        return {};
    }
    bool batchDue() override
    {
        return true;
    }
    std::vector<Status> completeBatch() override
    {
        return {};
    }
};

TEST(QtBackgroundFiles, WindowKeepsTickingDuringALongCopy)
{
    SlowCopy slow;
    BackgroundFileSystem files(slow, qt::runEventsDuring);
    bool ticked = false;
    QTimer::singleShot(50, [&] { ticked = true; });

    const Status copied = files.startTransfer("/a", "/b", Transfer::Copy);

    EXPECT_TRUE(copied.ok());
    EXPECT_TRUE(ticked) << "the window thread processed no events during the copy";
}

} // namespace

} // namespace carrovex::testing

int main(int argc, char** argv)
{
    // Before the application object exists: test discovery runs this without the test's environment.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
