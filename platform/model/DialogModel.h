#pragma once

#include "platform/OptionsDialog.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace carrovex
{

// The options dialog kept in memory, for running its logic without a display.
class DialogModel final : public OptionsDialog
{
public:
    void setEvents(OptionsDialogEvents* events);

    void setTitle(const std::string& title) override;
    std::string text(DialogControl control) const override;
    void setText(DialogControl control, const std::string& text) override;
    int value(DialogControl control) const override;
    void setValue(DialogControl control, int value) override;
    void setEnabled(DialogControl control, bool enabled) override;
    void addItem(DialogControl control, int position, const std::string& text) override;
    void setFocus(DialogControl control) override;
    void showMessage(const std::string& text, const std::string& title) override;
    void close() override;

    // A user's actions. Only a listed entry can be picked.
    void click(DialogControl control);
    void pick(DialogControl control, const std::string& entry);

    const std::string& title() const;
    bool isEnabled(DialogControl control) const;
    const std::vector<std::string>& items(DialogControl control) const;
    bool isClosed() const;
    // The control with the focus; nothing when none was given it.
    std::optional<DialogControl> focus() const;
    // The messages shown, as "title: text".
    const std::vector<std::string>& messages() const;

private:
    struct ControlState {
        std::string text;
        int value = 0;
        bool enabled = true;
        std::vector<std::string> items;
    };

    const ControlState* find(DialogControl control) const;

    OptionsDialogEvents* m_events = nullptr;
    std::string m_title;
    std::map<DialogControl, ControlState> m_controls;
    bool m_closed = false;
    std::optional<DialogControl> m_focus;
    std::vector<std::string> m_messages;
};

} // namespace carrovex
