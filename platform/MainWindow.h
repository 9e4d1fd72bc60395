#pragma once

#include "platform/OptionsDialog.h"
#include "platform/Result.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace carrovex
{

// The controls of the main window, by their role.
enum class Control {
    SourceFolder, // the source folder's path
    DestinationFolder,
    BrowseSource, // the "..." buttons beside the two folder fields
    BrowseDestination,
    Interval, // the editable interval field with its list of choices
    Move, // the two options "Move files" and "Copy files"; one of them is selected
    Copy,
    ShowLog, // check box: the log pane is shown
    Overwrite, // check box: files that exist in the destination may be replaced
    Log, // the log list
    Settings, // opens the options dialog
    StartStop, // Start, Stop, and Cancel during a run; the window's default button
    Quit,
    SourceLabel,
    DestinationLabel,
    IntervalLabel,
    LogLabel,
    TrayShow, // the entries of the tray icon's menu: bring the window back, and quit
    TrayQuit,
    OpenLogFile, // an entry of the tray icon's menu and of the log list's menu
};

// Told of every change of the log list, after the list has changed.
class LogListener
{
public:
    virtual ~LogListener() = default;

    virtual void lineAppended(const std::string& line) = 0;
    virtual void lastLineRemoved() = 0;
};

// Long enough for a burst of files to end in one report, short enough that a file is soon taken.
inline constexpr std::chrono::milliseconds arrivalQuietPeriod {2000};

// The operations the logic performs on the main window. The platform's binding applies them to real
// widgets; the window model keeps them in memory for tests.
class MainWindow
{
public:
    virtual ~MainWindow() = default;

    // The text of a field or the caption of a button, label, check box or option.
    virtual std::string text(Control control) const = 0;
    virtual void setText(Control control, const std::string& text) = 0;

    // 0 or 1 for check boxes and options.
    virtual int value(Control control) const = 0;
    virtual void setValue(Control control, int value) = 0;

    virtual void setEnabled(Control control, bool enabled) = 0;
    // The tip shown while the pointer rests on the control, a disabled one too; empty shows none.
    virtual void setToolTip(Control control, const std::string& text) = 0;
    // The name by which assistive technology (a screen reader) announces the control.
    virtual void setAccessibleName(Control control, const std::string& name) = 0;
    virtual bool isEnabled(Control control) const = 0;
    virtual void setVisible(Control control, bool visible) = 0;
    // Positions and sizes are in twips (1/1440 inch), whatever the toolkit's own unit.
    virtual void setTop(Control control, int twips) = 0;

    // The list of choices of the interval field.
    virtual void clearList(Control control) = 0;
    virtual void addItem(Control control, int position, const std::string& text) = 0;

    // The window's caption, which the tray icon shows as its tip too.
    virtual void setCaption(const std::string& caption) = 0;
    // Minimised, or hidden with only its tray icon left.
    virtual bool isMinimized() const = 0;
    // The window's outer size, frame and title bar included.
    virtual void setOuterWidth(int twips) = 0;
    virtual void setOuterHeight(int twips) = 0;
    // The panel that holds the controls.
    virtual void setPanelHeight(int twips) = 0;
    virtual void setBusyPointer(bool busy) = 0;

    // Runs the window events that are waiting (clicks, ticks, repaints) and returns.
    virtual void processEvents() = 0;

    // The minute timer; switching it on starts a full period.
    virtual void setTimerEnabled(bool enabled) = 0;

    // Files that arrive in the folder from now on (written and closed, or moved in) raise filesArrived once
    // the folder has been quiet for arrivalQuietPeriod, so that a burst of files raises it once. Replaces the folder
    // watched before; an empty folder watches none. Fails with the system's reason (no such folder, the
    // system's limit of watches reached); nothing is watched then.
    virtual Status watchArrivals(const std::string& folder) = 0;

    // A modal question with the buttons Yes (the default) and No; true for Yes.
    virtual bool askYesNo(const std::string& prompt, const std::string& title) = 0;
    // A modal message with the one button OK.
    virtual void showMessage(const std::string& text, const std::string& title) = 0;

    // The desktop shows the program's icon in its notification area (the tray); it may come and go.
    virtual bool hasTray() const = 0;
    // Hides the window and its taskbar entry; the tray icon stays. Only where there is a tray.
    virtual void hideToTray() = 0;
    // Shows the window again, not minimised, above the others and with the keyboard focus.
    virtual void bringToFront() = 0;
    // A passing notification by the tray icon; nothing where there is no tray.
    virtual void notify(const std::string& title, const std::string& text) = 0;
    // The platform's own texts (standard buttons, the folder dialog, menus of text fields) in the language
    // with this code ("de", "en"); a code the platform has no texts for leaves them in English.
    virtual void setPlatformLanguage(const std::string& code) = 0;

    // Closes the window for good, without asking the logic again.
    virtual void close() = 0;

    // The log list: oldest line first. It keeps the newest 100,000 lines.
    virtual void appendLine(const std::string& line) = 0;
    virtual void removeLastLine() = 0;
    virtual int lineCount() const = 0;
    virtual std::string lineText(int index) const = 0;
    // Tells the listener (none: nobody) of the changes of the log list from now on.
    virtual void setLogListener(LogListener* listener) = 0;
    // Selecting a line scrolls it into view; -1 selects none.
    virtual void selectLine(int index) = 0;
    // The index of the line at a point of the list (pixels from its top left), or -1 where there is none.
    virtual int lineAt(int x, int y) const = 0;
    // The tip shown while the pointer rests on the list; empty shows none.
    virtual void setListToolTip(const std::string& text) = 0;
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;

    // Opens the file in the program that the desktop uses for its kind; false when that cannot be started.
    virtual bool openFile(const std::string& path) = 0;

    // The system's folder dialog with the prompt as its title, opened at the start folder (at the user's
    // home folder when that is empty); the chosen folder, or empty when cancelled.
    virtual std::string browseFolder(const std::string& prompt, const std::string& startFolder) = 0;

    // Shows a new options dialog with the logic that makeLogic gives it. The main window takes no input
    // while the dialog is open, but the call may return at once so that a run in progress goes on; the
    // logic lives until the dialog is closed.
    using DialogLogicFactory = std::function<std::unique_ptr<OptionsDialogEvents>(OptionsDialog&)>;
    virtual void showOptionsDialog(const DialogLogicFactory& makeLogic) = 0;
};

} // namespace carrovex
