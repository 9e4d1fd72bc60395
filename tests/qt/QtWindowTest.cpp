#include "form/LogPane.h"
#include "platform/model/WindowModel.h"
#include "platform/qt/LogView.h"
#include "platform/qt/QtMainWindow.h"
#include "platform/qt/QtOptionsDialog.h"
#include "platform/qt/QtText.h"
#include "platform/qt/ToolTipText.h"
#include "tests/ProgramWindow.h"
#include "tests/RecordedEvents.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace carrovex::testing
{

namespace
{

using ::testing::ElementsAre;

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
class QtWindow : public ::testing::TestWithParam<const char*>, protected ProgramWindow<qt::QtMainWindow>
{
protected:
    QtWindow()
        : ProgramWindow(GetParam())
    {
        load();
    }
};

TEST_P(QtWindow, EveryTextOfTheWindowAndItsDialogIsWhole)
{
    for (int index = 0; index <= static_cast<int>(Control::LogLabel); ++index) {
        const auto control = static_cast<Control>(index);
        expectWholeTextVisible(window.widget(control), window.text(control));
    }
    // The run's Cancel text and the Stop text fit the same button.
    for (const int key : {11, 32}) {
        window.setText(Control::StartStop, form.texts[static_cast<std::size_t>(key)]);
        expectWholeTextVisible(window.widget(Control::StartStop), form.texts[static_cast<std::size_t>(key)]);
    }
    qt::QtOptionsDialog dialog(&window);
    LoadLanguage(dialog, ini);
    for (int index = 0; index <= static_cast<int>(DialogControl::Save); ++index) {
        const auto control = static_cast<DialogControl>(index);
        expectWholeTextVisible(dialog.widget(control), dialog.text(control));
    }
}

TEST_P(QtWindow, LogPaneLayoutsAreTheLogicsLessTheFrame)
{
    WindowModel layout;
    const double pixel = window.twipsPerPixelY();
    for (const bool shown : {true, false}) {
        window.setValue(Control::ShowLog, shown ? 1 : 0);
        shown ? ShowLogPane(layout) : HideLogPane(layout);
        EXPECT_NEAR(window.height() * pixel, layout.outerHeight() - 390, pixel);
        EXPECT_EQ(window.widget(Control::Log)->isVisibleTo(&window), shown);
        for (const Control button : {Control::Settings, Control::StartStop, Control::Quit}) {
            EXPECT_NEAR(window.widget(button)->y() * pixel, layout.top(button), pixel);
        }
    }
}

// What a screen reader hears: every control by its name in the language, never by its value or "...", and
// the log as a list of its lines.
TEST_P(QtWindow, EveryControlHasANameAndTheLogShowsItsLines)
{
    window.appendLine("first line");
    window.appendLine("second line");
    const std::pair<Control, Control> labelled[] = {{Control::SourceFolder, Control::SourceLabel},
        {Control::DestinationFolder, Control::DestinationLabel},
        {Control::Interval, Control::IntervalLabel},
        {Control::Log, Control::LogLabel}};
    for (const auto& [control, label] : labelled) {
        const QAccessibleInterface* named = QAccessible::queryAccessibleInterface(window.widget(control));
        ASSERT_NE(named, nullptr);
        const auto labels = named->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1) << window.text(label);
        EXPECT_EQ(qt::fromQt(labels.front().first->text(QAccessible::Name)), window.text(label));
        if (control != Control::Interval) { // on Linux Qt names a combo box by its value, its label by relation
            EXPECT_EQ(qt::fromQt(named->text(QAccessible::Name)), window.text(label));
        }
    }
    for (const Control browse : {Control::BrowseSource, Control::BrowseDestination}) {
        const QString name = QAccessible::queryAccessibleInterface(window.widget(browse))->text(QAccessible::Name);
        EXPECT_GT(name.size(), 3) << qt::fromQt(name);
        EXPECT_EQ(window.widget(browse)->toolTip(), name);
    }
    QAccessibleInterface* log = QAccessible::queryAccessibleInterface(window.widget(Control::Log));
    EXPECT_EQ(log->role(), QAccessible::List);
    ASSERT_EQ(log->childCount(), window.lineCount());
    QAccessibleInterface* line = log->child(window.lineCount() - 1);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->role(), QAccessible::ListItem);
    EXPECT_EQ(line->text(QAccessible::Name), QStringLiteral("second line"));
    EXPECT_EQ(log->indexOfChild(line), window.lineCount() - 1);
    EXPECT_EQ(line->parent(), log);
}

INSTANTIATE_TEST_SUITE_P(Languages, QtWindow, ::testing::Values("Deutsch", "English"));

// A window that tells its events, without its logic.
class QtWindowEvents : public ::testing::Test
{
protected:
    QtWindowEvents()
    {
        window.setEvents(&events);
    }

    // The events of a kind ("clicked", "changed"...) so far.
    std::vector<std::string> seen(const std::string& kind) const
    {
        std::vector<std::string> found;
        std::ranges::copy_if(
            events.seen, std::back_inserter(found), [&](const std::string& event) { return event.starts_with(kind); });
        return found;
    }

    RecordedEvents events;
    qt::QtMainWindow window;
};

// A dark desktop theme: the texts on the design's white stay dark.
TEST(QtTheme, TextsOnTheWhiteWindowStayReadableUnderADarkTheme)
{
    const QPalette desktop = QApplication::palette();
    QPalette dark = desktop;
    dark.setColor(QPalette::Window, Qt::black);
    dark.setColor(QPalette::WindowText, Qt::white);
    QApplication::setPalette(dark);
    {
        qt::QtMainWindow window;
        for (const QWidget* text : window.findChildren<QLabel*>()) {
            EXPECT_EQ(text->palette().color(QPalette::WindowText), Qt::black);
            EXPECT_EQ(text->palette().color(QPalette::Window), Qt::white);
        }
    }
    QApplication::setPalette(desktop);
}

// The tray menu's Start/Stop entry is the button: its text, its state, its click.
TEST_F(QtWindowEvents, TrayMenuStartsAndStopsAsTheButtonDoes)
{
    window.setText(Control::StartStop, "S&top");
    window.setEnabled(Control::StartStop, false);
    const QList<QAction*> entries = window.findChild<QMenu*>()->actions();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[1]->text(), QStringLiteral("S&top"));
    EXPECT_FALSE(entries[1]->isEnabled());

    window.setEnabled(Control::StartStop, true);
    entries[1]->trigger();

    // The log file's entry is the log list's own menu as well.
    window.setText(Control::OpenLogFile, "Open &log file");
    EXPECT_EQ(entries[2]->text(), QStringLiteral("Open &log file"));
    EXPECT_EQ(window.widget(Control::Log)->actions(), QList<QAction*> {entries[2]});
    entries[2]->trigger();
    EXPECT_THAT(seen("clicked"), ElementsAre("clicked StartStop", "clicked OpenLogFile"));
}

// A burst of files is reported once the folder has been quiet for a moment; a report that the logic cannot
// take yet comes again after another quiet moment.
TEST_F(QtWindowEvents, ArrivalsAreReportedOnceTheWatchedFolderIsQuiet)
{
    char folder[] = "/tmp/carrovex-arrivals-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    ASSERT_TRUE(window.watchArrivals(folder).ok());
    events.refusedArrivals = 1;

    for (int index = 0; index < 100; ++index) {
        std::ofstream(std::string(folder) + "/" + std::to_string(index)) << index;
    }
    QTest::qWait(static_cast<int>((arrivalQuietPeriod * 5 / 2).count()));

    EXPECT_THAT(seen("arrived"), ElementsAre("arrived", "arrived"));
    std::filesystem::remove_all(folder);
}

// Escape and the close box leave the save question open: only Yes or No answers it.
TEST_F(QtWindowEvents, SaveQuestionIsAnsweredOnlyByYesOrNo)
{
    for (const QMessageBox::StandardButton answer : {QMessageBox::Yes, QMessageBox::No}) {
        bool stayedOpen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            QTest::keyClick(box, Qt::Key_Escape);
            box->close();
            QApplication::processEvents();
            stayedOpen = box->isVisible();
            box->button(answer)->click();
        });
        EXPECT_EQ(window.askYesNo("Save settings?", "Carrovex Lite - Settings"), answer == QMessageBox::Yes);
        EXPECT_TRUE(stayedOpen);
    }
}

TEST_F(QtWindowEvents, TextsAndCheckBoxesRaiseTheirEventsOnceAndTheLogStaysCapped)
{
    window.setText(Control::SourceFolder, "/a");
    window.setText(Control::SourceFolder, "/a");
    window.setValue(Control::Overwrite, 1);
    window.setValue(Control::Overwrite, 1);
    EXPECT_THAT(events.seen, ElementsAre("changed SourceFolder", "clicked Overwrite"));

    for (int i = 0; i < 100'010; ++i) {
        window.appendLine(std::to_string(i));
    }
    window.removeLastLine();
    EXPECT_EQ(window.lineCount(), 99'999);
    EXPECT_EQ(window.lineText(0), "10");
    window.selectLine(window.lineCount() - 1);
    EXPECT_EQ(static_cast<qt::LogView*>(window.widget(Control::Log))->selected(), 99'998);
}

TEST_F(QtWindowEvents, EnterPressesTheFocusedButtonOrElseStart)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_THAT(events.seen, ::testing::Contains("activated")); // the folders are looked at again
    // A button takes Enter itself; on a field, an option, a check box or the log, Enter presses Start.
    for (const Control focused : {Control::SourceFolder,
             Control::Interval,
             Control::Copy,
             Control::Overwrite,
             Control::ShowLog,
             Control::Log,
             Control::Settings,
             Control::Quit,
             Control::BrowseDestination}) {
        const bool button
            = focused == Control::Settings || focused == Control::Quit || focused == Control::BrowseDestination;
        window.widget(focused)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_THAT(seen("clicked"), ElementsAre("clicked " + nameOf(button ? focused : Control::StartStop)));
        events.seen.clear();
    }
    window.setEnabled(Control::StartStop, false);
    window.widget(Control::Overwrite)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_THAT(seen("clicked"), ::testing::IsEmpty()); // a disabled Start takes no Enter
}

TEST(QtDialogKeys, TheDialogTakesKeysAtOnceAndEnterPressesTheFocusedButtonOrElseSaves)
{
    ProgramWindow<qt::QtMainWindow> program("English");
    program.files.addFolder("/prog/lang");
    program.files.addFile("/prog/lang/Deutsch.dat", 1);
    program.files.addFile("/prog/lang/English.dat", 1);
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
    const int writes = program.textFiles.writes;
    dialog->widget(DialogControl::Cancel)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(program.textFiles.writes, writes);
    EXPECT_FALSE(dialog->isVisible());

    // Enter on a check box saves.
    program.controller.clicked(Control::Settings);
    auto* again = qobject_cast<qt::QtOptionsDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(again, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(again));
    again->widget(DialogControl::RunOnStart)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_GT(program.textFiles.writes, writes);
    EXPECT_FALSE(again->isVisible());
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

TEST_F(QtWindowEvents, CentredAtTheFirstShowAndTheLogicToldOnce)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(10);

    const QPoint screenCentre = QApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((window.geometry().center() - screenCentre).manhattanLength(), 2);
    window.hide();
    window.show();
    QTest::qWait(10);
    EXPECT_THAT(seen("shown"), ElementsAre("shown"));
}

// At a scale of 2 a small screen is too small for the fixed window: its title bar stays on the screen.
TEST_F(QtWindowEvents, AWindowTallerThanTheScreenKeepsItsTitleBarOnIt)
{
    QFont large = window.font();
    large.setPixelSize(48);
    window.setFont(large);
    window.setText(Control::StartStop, "&Start"); // the layout grows until the text fits
    const QRect available = QApplication::primaryScreen()->availableGeometry();
    ASSERT_GT(window.height(), available.height());

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_GE(window.frameGeometry().top(), available.top());
    EXPECT_GE(window.frameGeometry().left(), available.left());
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
