#include "platform/model/WindowModel.h"

// What the model's window does on the desktop: messages, the tray icon, its first appearance.
namespace carrovex
{

void WindowModel::showMessage(const std::string& text, const std::string& title)
{
    touch();
    m_messages.push_back(title + ": " + text);
}

const std::vector<std::string>& WindowModel::messages() const
{
    return m_messages;
}

bool WindowModel::hasTray() const
{
    return m_tray;
}

void WindowModel::setTray(bool shown)
{
    m_tray = shown;
}

void WindowModel::hideToTray()
{
    touch();
    m_hiddenToTray = m_tray;
}

bool WindowModel::isHiddenToTray() const
{
    return m_hiddenToTray;
}

void WindowModel::bringToFront()
{
    touch();
    m_hiddenToTray = false;
    m_minimized = false;
    ++m_broughtToFront;
}

int WindowModel::timesBroughtToFront() const
{
    return m_broughtToFront;
}

void WindowModel::notify(const std::string& title, const std::string& text)
{
    touch();
    if (m_tray) {
        m_notifications.push_back(title + ": " + text);
    }
}

const std::vector<std::string>& WindowModel::notifications() const
{
    return m_notifications;
}

void WindowModel::setPlatformLanguage(const std::string& code)
{
    touch();
    m_platformLanguage = code;
}

const std::string& WindowModel::platformLanguage() const
{
    return m_platformLanguage;
}

void WindowModel::activate()
{
    if (m_events && !m_closed) {
        m_events->activated();
    }
}

void WindowModel::appear()
{
    if (m_appeared || m_closed) {
        return;
    }
    m_appeared = true;
    if (m_events) {
        m_events->shown();
    }
}

bool WindowModel::hasAppeared() const
{
    return m_appeared;
}

bool WindowModel::openFile(const std::string& path)
{
    touch();
    if (m_opensFiles) {
        m_openedFiles.push_back(path);
    }
    return m_opensFiles;
}

void WindowModel::refuseToOpenFiles()
{
    m_opensFiles = false;
}

const std::vector<std::string>& WindowModel::openedFiles() const
{
    return m_openedFiles;
}

} // namespace carrovex
