#include "platform/model/WindowModel.h"

#include <algorithm>

namespace carrovex
{

WindowModel::ControlState& WindowModel::state(Control control)
{
    return m_controls[control];
}

const WindowModel::ControlState* WindowModel::find(Control control) const
{
    const auto found = m_controls.find(control);
    return found == m_controls.end() ? nullptr : &found->second;
}

std::string WindowModel::text(Control control) const
{
    const ControlState* found = find(control);
    return found ? found->text : std::string();
}

void WindowModel::setText(Control control, const std::string& text)
{
    state(control).text = text;
}

int WindowModel::value(Control control) const
{
    const ControlState* found = find(control);
    return found ? found->value : 0;
}

void WindowModel::setValue(Control control, int value)
{
    state(control).value = value;
}

void WindowModel::setEnabled(Control control, bool enabled)
{
    state(control).enabled = enabled;
}

bool WindowModel::isEnabled(Control control) const
{
    const ControlState* found = find(control);
    return found ? found->enabled : true;
}

void WindowModel::setVisible(Control control, bool visible)
{
    state(control).visible = visible;
}

bool WindowModel::isVisible(Control control) const
{
    const ControlState* found = find(control);
    return found ? found->visible : true;
}

void WindowModel::setTop(Control control, int twips)
{
    state(control).top = twips;
}

int WindowModel::top(Control control) const
{
    const ControlState* found = find(control);
    return found ? found->top : 0;
}

void WindowModel::clearList(Control control)
{
    state(control).items.clear();
}

void WindowModel::addItem(Control control, int position, const std::string& text)
{
    auto& items = state(control).items;
    const auto at = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(position, 0)), 0, items.size());
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), text);
}

const std::vector<std::string>& WindowModel::items(Control control) const
{
    static const std::vector<std::string> none;
    const ControlState* found = find(control);
    return found ? found->items : none;
}

void WindowModel::setOuterHeight(int twips)
{
    m_outerHeight = twips;
}

int WindowModel::outerHeight() const
{
    return m_outerHeight;
}

void WindowModel::setFrameHeight(int twips)
{
    m_frameHeight = twips;
}

int WindowModel::frameHeight() const
{
    return m_frameHeight;
}

void WindowModel::setCaption(const std::string& caption)
{
    m_caption = caption;
}

const std::string& WindowModel::caption() const
{
    return m_caption;
}

void WindowModel::setBusyPointer(bool busy)
{
    m_busyPointer = busy;
}

bool WindowModel::busyPointer() const
{
    return m_busyPointer;
}

void WindowModel::processEvents()
{
    ++m_processEventsCalls;
    if (m_hook) {
        m_hook();
    }
    // Events posted by the events themselves wait for the next call, as in a real event loop.
    std::deque<std::function<void()>> pending;
    pending.swap(m_events);
    for (auto& event : pending) {
        event();
    }
}

int WindowModel::processEventsCalls() const
{
    return m_processEventsCalls;
}

void WindowModel::post(std::function<void()> event)
{
    m_events.push_back(std::move(event));
}

void WindowModel::onProcessEvents(std::function<void()> hook)
{
    m_hook = std::move(hook);
}

void WindowModel::appendLine(const std::string& line)
{
    m_lines.push_back(line);
}

void WindowModel::removeLastLine()
{
    if (!m_lines.empty()) {
        m_lines.pop_back();
    }
    if (m_selectedLine >= static_cast<int>(m_lines.size())) {
        m_selectedLine = -1;
    }
}

int WindowModel::lineCount() const
{
    return static_cast<int>(m_lines.size());
}

void WindowModel::selectLine(int index)
{
    m_selectedLine = index >= 0 && index < lineCount() ? index : -1;
}

int WindowModel::selectedLine() const
{
    return m_selectedLine;
}

const std::vector<std::string>& WindowModel::lines() const
{
    return m_lines;
}

} // namespace carrovex
