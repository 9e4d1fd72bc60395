#include "platform/model/DialogModel.h"

#include <algorithm>

namespace carrovex
{

void DialogModel::setEvents(OptionsDialogEvents* events)
{
    m_events = events;
}

void DialogModel::setTitle(const std::string& title)
{
    m_title = title;
}

const std::string& DialogModel::title() const
{
    return m_title;
}

const DialogModel::ControlState* DialogModel::find(DialogControl control) const
{
    const auto found = m_controls.find(control);
    return found == m_controls.end() ? nullptr : &found->second;
}

std::string DialogModel::text(DialogControl control) const
{
    const ControlState* found = find(control);
    return found ? found->text : std::string();
}

void DialogModel::setText(DialogControl control, const std::string& text)
{
    const auto& listed = items(control);
    const bool pickList = control == DialogControl::Language;
    const bool found = std::find(listed.begin(), listed.end(), text) != listed.end();
    m_controls[control].text = !pickList || found ? text : std::string();
}

int DialogModel::value(DialogControl control) const
{
    const ControlState* found = find(control);
    return found ? found->value : 0;
}

void DialogModel::setValue(DialogControl control, int value)
{
    int& current = m_controls[control].value;
    if (current == value) {
        return;
    }
    current = value;
    if (m_events) {
        m_events->clicked(control);
    }
}

void DialogModel::setEnabled(DialogControl control, bool enabled)
{
    m_controls[control].enabled = enabled;
}

bool DialogModel::isEnabled(DialogControl control) const
{
    const ControlState* found = find(control);
    return found ? found->enabled : true;
}

void DialogModel::addItem(DialogControl control, int position, const std::string& text)
{
    auto& items = m_controls[control].items;
    const auto at = std::min<std::size_t>(static_cast<std::size_t>(std::max(position, 0)), items.size());
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), text);
}

const std::vector<std::string>& DialogModel::items(DialogControl control) const
{
    static const std::vector<std::string> none;
    const ControlState* found = find(control);
    return found ? found->items : none;
}

void DialogModel::close()
{
    m_closed = true;
}

bool DialogModel::isClosed() const
{
    return m_closed;
}

void DialogModel::click(DialogControl control)
{
    if (!isEnabled(control) || !m_events) {
        return;
    }
    if (control == DialogControl::SaveOnClose || control == DialogControl::AskBeforeSaving
        || control == DialogControl::RunOnStart || control == DialogControl::SendToTray
        || control == DialogControl::AnyDestinationDisk || control == DialogControl::RunOnArrival
        || control == DialogControl::KeepBoth) {
        setValue(control, 1 - value(control));
    } else {
        m_events->clicked(control);
    }
}

void DialogModel::pick(DialogControl control, const std::string& entry)
{
    const auto& listed = items(control);
    if (std::find(listed.begin(), listed.end(), entry) != listed.end()) {
        setText(control, entry);
    }
}

void DialogModel::setFocus(DialogControl control)
{
    m_focus = control;
}

std::optional<DialogControl> DialogModel::focus() const
{
    return m_focus;
}

void DialogModel::showMessage(const std::string& text, const std::string& title)
{
    m_messages.push_back(title + ": " + text);
}

const std::vector<std::string>& DialogModel::messages() const
{
    return m_messages;
}

} // namespace carrovex
