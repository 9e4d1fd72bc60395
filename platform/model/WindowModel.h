#pragma once

#include "platform/MainWindow.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace carrovex
{

// The main window kept in memory, so that the logic runs and is tested without a display. Events that a
// test queues with post() run when the logic lets pending events run, as a user's clicks would.
class WindowModel final : public MainWindow
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
    void setVisible(Control control, bool visible) override;
    void setTop(Control control, int twips) override;
    void clearList(Control control) override;
    void addItem(Control control, int position, const std::string& text) override;
    void setCaption(const std::string& caption) override;
    void setOuterHeight(int twips) override;
    void setFrameHeight(int twips) override;
    void setBusyPointer(bool busy) override;
    void processEvents() override;
    void appendLine(const std::string& line) override;
    void removeLastLine() override;
    int lineCount() const override;
    void selectLine(int index) override;

    void post(std::function<void()> event);
    // Called at every processEvents, before the queued events: a test's way of acting at the Nth yield.
    void onProcessEvents(std::function<void()> hook);

    bool isEnabled(Control control) const;
    bool isVisible(Control control) const;
    int top(Control control) const;
    const std::vector<std::string>& items(Control control) const;
    int outerHeight() const;
    int frameHeight() const;
    const std::string& caption() const;
    bool busyPointer() const;
    const std::vector<std::string>& lines() const;
    int selectedLine() const;
    int processEventsCalls() const;

private:
    struct ControlState {
        std::string text;
        int value = 0;
        bool enabled = true;
        bool visible = true;
        int top = 0;
        std::vector<std::string> items;
    };

    ControlState& state(Control control);
    const ControlState* find(Control control) const;

    std::map<Control, ControlState> m_controls;
    std::string m_caption;
    int m_outerHeight = 0;
    int m_frameHeight = 0;
    bool m_busyPointer = false;
    std::vector<std::string> m_lines;
    int m_selectedLine = -1;
    std::deque<std::function<void()>> m_events;
    std::function<void()> m_hook;
    int m_processEventsCalls = 0;
};

} // namespace carrovex
