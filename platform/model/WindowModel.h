#pragma once

#include "platform/MainWindow.h"
#include "platform/MainWindowEvents.h"
#include "platform/model/DialogModel.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace carrovex
{

// The main window kept in memory, so that the logic runs and is tested without a display. Events that a
// test queues with post() run when the logic lets pending events run, as a user's clicks would. The log
// lines are one line per row of 15 twips height (one pixel is 15 twips both ways). A console front end
// builds on it.
class WindowModel : public MainWindow
{
public:
    WindowModel() = default;
    WindowModel(const WindowModel&) = delete;
    WindowModel& operator=(const WindowModel&) = delete;

    std::string text(Control control) const override;
    void setText(Control control, const std::string& text) override;
    int value(Control control) const override;
    void setValue(Control control, int value) override;
    void setEnabled(Control control, bool enabled) override;
    bool isEnabled(Control control) const override;
    void setToolTip(Control control, const std::string& text) override;
    void setAccessibleName(Control control, const std::string& name) override;
    void setVisible(Control control, bool visible) override;
    void setTop(Control control, int twips) override;
    void clearList(Control control) override;
    void addItem(Control control, int position, const std::string& text) override;
    void setCaption(const std::string& caption) override;
    bool isMinimized() const override;
    void setOuterWidth(int twips) override;
    void setOuterHeight(int twips) override;
    void setPanelHeight(int twips) override;
    void setBusyPointer(bool busy) override;
    void processEvents() override;
    void setTimerEnabled(bool enabled) override;
    Status watchArrivals(const std::string& folder) override;
    bool askYesNo(const std::string& prompt, const std::string& title) override;
    void showMessage(const std::string& text, const std::string& title) override;
    bool hasTray() const override;
    void hideToTray() override;
    void bringToFront() override;
    void notify(const std::string& title, const std::string& text) override;
    void setPlatformLanguage(const std::string& code) override;
    void close() override;
    void appendLine(const std::string& line) override;
    void removeLastLine() override;
    void setLogListener(LogListener* listener) override;
    int lineCount() const override;
    std::string lineText(int index) const override;
    void selectLine(int index) override;
    int lineAt(int x, int y) const override;
    void setListToolTip(const std::string& text) override;
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;
    bool openFile(const std::string& path) override;
    std::string browseFolder(const std::string& prompt, const std::string& startFolder) override;
    void showOptionsDialog(const DialogLogicFactory& makeLogic) override;

    // The logic that hears the window's events; set before the first one.
    void setEvents(MainWindowEvents* events);

    // A user's actions, raising the events the real window would raise.
    void click(Control control);
    void type(Control control, const std::string& text);
    void leave(Control control);
    void tick(); // one minute passes: a tick, if the timer is on
    // Files arrived in the watched folder and it fell quiet: what the logic answered, true when none is
    // watched.
    bool arrive();
    // The system refuses to watch any folder from now on, for this reason.
    void refuseWatching(const std::string& reason);
    void requestClose();
    void endSession();
    void answerNextQuestion(bool yes);
    void chooseNextFolder(const std::string& folder); // empty: the user cancels the folder dialog
    // What the user does in the options dialog each time it opens; without it the dialog is closed by its
    // close box.
    void onOptionsDialog(std::function<void(DialogModel&)> user);
    void minimize(bool minimized);
    void moveOverList(int buttons, double x, double y);
    void appear(); // the platform shows the window for the first time
    void activate(); // the user comes back to the window from another
    void setTray(bool shown); // whether the desktop has a tray; it has none at first
    void refuseToOpenFiles(); // the desktop has no program for a file

    void post(std::function<void()> event);
    // Called at every processEvents, before the queued events: a test's way of acting at the Nth yield.
    void onProcessEvents(std::function<void()> hook);

    bool isVisible(Control control) const;
    std::string toolTip(Control control) const;
    std::string accessibleName(Control control) const;
    int top(Control control) const;
    const std::vector<std::string>& items(Control control) const;
    int outerHeight() const;
    int panelHeight() const;
    const std::string& caption() const;
    bool busyPointer() const;
    const std::deque<std::string>& lines() const;
    const std::string& listToolTip() const;
    int outerWidth() const;
    const std::vector<std::string>& folderPrompts() const;
    int optionsDialogsShown() const;
    int selectedLine() const;
    int processEventsCalls() const;
    bool timerEnabled() const;
    const std::string& watchedFolder() const;
    bool isClosed() const;
    // Operations the logic performed on the window after it was closed; must stay 0.
    int operationsAfterClose() const;
    // The questions asked, as "title: prompt".
    const std::vector<std::string>& questions() const;
    // The messages shown, as "title: text", and the notifications, as "title: text".
    const std::vector<std::string>& messages() const;
    const std::vector<std::string>& notifications() const;
    bool hasAppeared() const;
    bool isHiddenToTray() const;
    int timesBroughtToFront() const;
    const std::string& platformLanguage() const;
    const std::vector<std::string>& openedFiles() const;

private:
    struct ControlState {
        std::string text;
        int value = 0;
        bool enabled = true;
        bool visible = true;
        int top = 0;
        std::vector<std::string> items;
        std::string toolTip;
        std::string accessibleName;
    };

    ControlState& state(Control control);
    void touch();
    const ControlState* find(Control control) const;

    std::map<Control, ControlState> m_controls;
    std::string m_caption;
    int m_outerHeight = 0;
    int m_panelHeight = 0;
    bool m_busyPointer = false;
    std::deque<std::string> m_lines;
    int m_selectedLine = -1;
    std::deque<std::function<void()>> m_posted;
    std::function<void()> m_hook;
    int m_processEventsCalls = 0;
    MainWindowEvents* m_events = nullptr;
    bool m_timerEnabled = true;
    std::string m_watchedFolder;
    std::string m_watchRefusal;
    bool m_closed = false;
    int m_operationsAfterClose = 0;
    std::deque<bool> m_answers;
    std::vector<std::string> m_questions;
    std::deque<std::string> m_folders;
    std::vector<std::string> m_folderPrompts;
    std::function<void(DialogModel&)> m_dialogUser;
    int m_optionsDialogsShown = 0;
    bool m_minimized = false;
    int m_outerWidth = 0;
    std::string m_listToolTip;
    std::vector<std::string> m_messages;
    std::vector<std::string> m_notifications;
    bool m_appeared = false;
    bool m_tray = false;
    bool m_hiddenToTray = false;
    int m_broughtToFront = 0;
    std::string m_platformLanguage;
    LogListener* m_logListener = nullptr;
    bool m_opensFiles = true;
    std::vector<std::string> m_openedFiles;
};

} // namespace carrovex
