#pragma once

#include "platform/MainWindow.h"
#include "platform/win32/ArrivalWatch.h"
#include "platform/win32/DialogWindow.h"
#include "platform/win32/TwipsPlacement.h"

#include <chrono>
#include <map>
#include <memory>
#include <shellapi.h>
#include <string>

namespace carrovex
{
class MainWindowEvents;
}

namespace carrovex::win32
{

class LogListBox;
class Win32OptionsDialog;

// The main window on native Win32 controls. It only translates: control notifications become the
// logic's events, and the logic's control operations are applied to the controls. Sizes are designed in
// twips and placed by the monitor's dots per inch.
class Win32MainWindow final : public DialogWindow, public MainWindow
{
public:
    // The minute timer's period can be shortened for tests.
    explicit Win32MainWindow(UINT timerPeriod = 60'000);
    ~Win32MainWindow() override;

    void setEvents(MainWindowEvents* events);
    // Centres the window on its monitor and shows it.
    void show();
    // Runs the window's messages until it is closed.
    void runUntilClosed();
    bool isClosed() const;
    HWND control(Control control) const;

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

private:
    // The design places most controls on a panel whose top left corner lies at (30, -30) in the client
    // area; the window's own white background serves as that panel.
    static constexpr int panelLeft = 30;
    static constexpr int panelTop = -30;
    // The window's own messages.
    static constexpr UINT trayMessage = WM_APP + 2; // from the tray icon
    static constexpr UINT shownMessage = WM_APP + 3; // the window is on the screen for the first time
    // Runs out when the watched folder has been quiet for a moment (the minute timer is 1).
    static constexpr UINT_PTR arrivalsQuietTimer = 2;
    static constexpr UINT_PTR startToolId = 1; // the tip over the Start button's place, for a greyed Start

    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void createControls();
    void createToolTip();
    void placeStartToolTip();
    void addTrayIcon();
    void updateTray(UINT flags);
    void trayEvent(UINT event);
    void showTrayMenu();
    void showLogMenu();
    // Shows the menu at the pointer and destroys it; the entry chosen is clicked.
    void popUp(HMENU menu);
    HWND windowOf(Control control) const;
    void command(int id, int notification);
    void logChanged();
    void relayout();
    void applySize();
    static LRESULT CALLBACK logProcedure(
        HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);

    MainWindowEvents* m_events = nullptr;
    LogListener* m_logListener = nullptr;
    UINT m_timerPeriod;
    std::map<Control, HWND> m_controls; // the controls on the window; the tray menu's entries have none
    std::map<Control, std::wstring> m_trayTexts; // and the log list's menu entry
    NOTIFYICONDATAW m_tray {};
    bool m_trayShown = false;
    bool m_shownBefore = false;
    std::unique_ptr<Win32OptionsDialog> m_optionsDialog; // while one is open, and until its closing returned
    std::unique_ptr<LogListBox> m_log;
    bool m_logUpdatePosted = false;
    std::chrono::steady_clock::time_point m_eventsRan;
    HWND m_toolTip = nullptr;
    std::wstring m_toolTipText;
    std::map<HWND, std::wstring> m_controlTips; // the tips of the controls, by the control
    TwipsPlacement m_placement;
    HFONT m_font = nullptr;
    UINT m_dpi = 96;
    int m_outerWidth = 6150;
    int m_outerHeight = 4080;
    bool m_busy = false;
    bool m_minimized = false;
    bool m_closed = false;
    ArrivalWatch m_arrivals;
};

} // namespace carrovex::win32
