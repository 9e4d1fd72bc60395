#include "platform/model/WindowModel.h"

#include <algorithm>

namespace carrovex
{

WindowModel::ControlState& WindowModel::state(Control control)
{
    touch();
    return m_controls[control];
}

void WindowModel::touch()
{
    if (m_closed) {
        ++m_operationsAfterClose;
    }
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
    std::string& current = state(control).text;
    if (current == text) {
        return;
    }
    current = text;
    if (m_events && (control == Control::SourceFolder || control == Control::DestinationFolder)) {
        m_events->changed(control);
    }
}

int WindowModel::value(Control control) const
{
    const ControlState* found = find(control);
    return found ? found->value : 0;
}

void WindowModel::setValue(Control control, int value)
{
    int& current = state(control).value;
    if (current == value) {
        return;
    }
    current = value;
    if (m_events && (control == Control::ShowLog || control == Control::Overwrite)) {
        m_events->clicked(control);
    }
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

void WindowModel::setToolTip(Control control, const std::string& text)
{
    state(control).toolTip = text;
}

std::string WindowModel::toolTip(Control control) const
{
    const ControlState* found = find(control);
    return found ? found->toolTip : std::string();
}

void WindowModel::setAccessibleName(Control control, const std::string& name)
{
    state(control).accessibleName = name;
}

std::string WindowModel::accessibleName(Control control) const
{
    const ControlState* found = find(control);
    return found ? found->accessibleName : std::string();
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
    touch();
    m_outerHeight = twips;
}

int WindowModel::outerHeight() const
{
    return m_outerHeight;
}

void WindowModel::setPanelHeight(int twips)
{
    touch();
    m_panelHeight = twips;
}

int WindowModel::panelHeight() const
{
    return m_panelHeight;
}

void WindowModel::setCaption(const std::string& caption)
{
    touch();
    m_caption = caption;
}

const std::string& WindowModel::caption() const
{
    return m_caption;
}

void WindowModel::setBusyPointer(bool busy)
{
    touch();
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
    pending.swap(m_posted);
    for (auto& event : pending) {
        event();
    }
}

int WindowModel::processEventsCalls() const
{
    return m_processEventsCalls;
}

void WindowModel::setTimerEnabled(bool enabled)
{
    touch();
    m_timerEnabled = enabled;
}

bool WindowModel::timerEnabled() const
{
    return m_timerEnabled;
}

Status WindowModel::watchArrivals(const std::string& folder)
{
    touch();
    m_watchedFolder.clear();
    if (!folder.empty() && !m_watchRefusal.empty()) {
        return Status::failure(m_watchRefusal);
    }
    m_watchedFolder = folder;
    return {};
}

const std::string& WindowModel::watchedFolder() const
{
    return m_watchedFolder;
}

void WindowModel::refuseWatching(const std::string& reason)
{
    m_watchRefusal = reason;
}

bool WindowModel::askYesNo(const std::string& prompt, const std::string& title)
{
    touch();
    m_questions.push_back(title + ": " + prompt);
    const bool yes = m_answers.empty() || m_answers.front();
    if (!m_answers.empty()) {
        m_answers.pop_front();
    }
    return yes;
}

const std::vector<std::string>& WindowModel::questions() const
{
    return m_questions;
}

void WindowModel::answerNextQuestion(bool yes)
{
    m_answers.push_back(yes);
}

void WindowModel::close()
{
    touch();
    m_closed = true;
}

bool WindowModel::isClosed() const
{
    return m_closed;
}

int WindowModel::operationsAfterClose() const
{
    return m_operationsAfterClose;
}

void WindowModel::setEvents(MainWindowEvents* events)
{
    m_events = events;
}

// A disabled control takes no clicks, as on the screen.
void WindowModel::click(Control control)
{
    if (!m_events || !isEnabled(control) || m_closed) {
        return;
    }
    if (control == Control::ShowLog || control == Control::Overwrite) {
        setValue(control, 1 - value(control)); // raises the click
    } else {
        m_events->clicked(control);
    }
}

void WindowModel::type(Control control, const std::string& text)
{
    if (isEnabled(control) && !m_closed) {
        setText(control, text);
    }
}

void WindowModel::leave(Control control)
{
    if (m_events && !m_closed) {
        m_events->validate(control);
    }
}

void WindowModel::tick()
{
    if (m_events && m_timerEnabled && !m_closed) {
        m_events->timerTicked();
    }
}

bool WindowModel::arrive()
{
    if (!m_events || m_watchedFolder.empty() || m_closed) {
        return true;
    }
    return m_events->filesArrived();
}

void WindowModel::requestClose()
{
    if (m_events && !m_closed && m_events->closeRequested()) {
        m_closed = true;
    }
}

void WindowModel::endSession()
{
    if (m_events && !m_closed && m_events->sessionEnding()) {
        m_closed = true;
    }
}

void WindowModel::post(std::function<void()> event)
{
    m_posted.push_back(std::move(event));
}

void WindowModel::onProcessEvents(std::function<void()> hook)
{
    m_hook = std::move(hook);
}

std::string WindowModel::browseFolder(const std::string& prompt, const std::string& startFolder)
{
    touch();
    m_folderPrompts.push_back(prompt + " @" + startFolder);
    if (m_folders.empty()) {
        return {};
    }
    std::string folder = m_folders.front();
    m_folders.pop_front();
    return folder;
}

void WindowModel::chooseNextFolder(const std::string& folder)
{
    m_folders.push_back(folder);
}

const std::vector<std::string>& WindowModel::folderPrompts() const
{
    return m_folderPrompts;
}

void WindowModel::showOptionsDialog(const DialogLogicFactory& makeLogic)
{
    touch();
    ++m_optionsDialogsShown;
    DialogModel dialog;
    const std::unique_ptr<OptionsDialogEvents> logic = makeLogic(dialog);
    dialog.setEvents(logic.get());
    logic->load();
    if (m_dialogUser) {
        m_dialogUser(dialog);
    }
}

void WindowModel::onOptionsDialog(std::function<void(DialogModel&)> user)
{
    m_dialogUser = std::move(user);
}

int WindowModel::optionsDialogsShown() const
{
    return m_optionsDialogsShown;
}

bool WindowModel::isMinimized() const
{
    return m_minimized || m_hiddenToTray;
}

void WindowModel::minimize(bool minimized)
{
    m_minimized = minimized;
    if (m_events && !m_closed) {
        m_events->resized();
    }
}

void WindowModel::setOuterWidth(int twips)
{
    touch();
    m_outerWidth = twips;
}

int WindowModel::outerWidth() const
{
    return m_outerWidth;
}

} // namespace carrovex
