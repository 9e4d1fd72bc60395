#include "platform/model/WindowModel.h"

#include <cstddef>

namespace carrovex
{

// The log list of the model: one line per row, the newest 100,000 kept.
namespace
{

constexpr std::size_t logCapacity = 100'000;
constexpr double twipsPerPixel = 15;
constexpr int lineHeightPixels = 16;

} // namespace

void WindowModel::appendLine(const std::string& line)
{
    touch();
    if (m_lines.size() == logCapacity) {
        m_lines.pop_front(); // the oldest line makes room
        m_selectedLine = m_selectedLine > 0 ? m_selectedLine - 1 : -1;
    }
    m_lines.push_back(line);
    if (m_logListener != nullptr) {
        m_logListener->lineAppended(line);
    }
}

std::string WindowModel::lineText(int index) const
{
    return index >= 0 && index < lineCount() ? m_lines[static_cast<std::size_t>(index)] : std::string();
}

int WindowModel::lineAt(int x, int y) const
{
    const int index = y / lineHeightPixels;
    return x >= 0 && y >= 0 && index < lineCount() ? index : -1;
}

void WindowModel::setListToolTip(const std::string& text)
{
    touch();
    m_listToolTip = text;
}

const std::string& WindowModel::listToolTip() const
{
    return m_listToolTip;
}

double WindowModel::twipsPerPixelX() const
{
    return twipsPerPixel;
}

double WindowModel::twipsPerPixelY() const
{
    return twipsPerPixel;
}

void WindowModel::moveOverList(int buttons, double x, double y)
{
    if (m_events && !m_closed) {
        m_events->mouseMoved(Control::Log, buttons, x, y);
    }
}

void WindowModel::removeLastLine()
{
    touch();
    if (!m_lines.empty()) {
        m_lines.pop_back();
    }
    if (m_selectedLine >= static_cast<int>(m_lines.size())) {
        m_selectedLine = -1;
    }
    if (m_logListener != nullptr) {
        m_logListener->lastLineRemoved();
    }
}

void WindowModel::setLogListener(LogListener* listener)
{
    m_logListener = listener;
}

int WindowModel::lineCount() const
{
    return static_cast<int>(m_lines.size());
}

void WindowModel::selectLine(int index)
{
    touch();
    m_selectedLine = index >= 0 && index < lineCount() ? index : -1;
}

int WindowModel::selectedLine() const
{
    return m_selectedLine;
}

const std::deque<std::string>& WindowModel::lines() const
{
    return m_lines;
}

} // namespace carrovex
