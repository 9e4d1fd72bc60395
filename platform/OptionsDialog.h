#pragma once

#include <string>

namespace carrovex
{

// The options dialog's controls, by their role. SaveOnClose, AskBeforeSaving, RunOnStart, SendToTray,
// AnyDestinationDisk, RunOnArrival and KeepBoth are the check boxes of the settings keys "Save", "Question",
// "DoActionOnStart", "SendToTray", "AnyDestinationDisk", "RunOnArrival" and "KeepBoth"; Language is a pick list.
enum class DialogControl {
    LanguageLabel,
    Language,
    SaveOnClose,
    AskBeforeSaving,
    RunOnStart,
    SendToTray,
    AnyDestinationDisk,
    RunOnArrival,
    KeepBoth,
    About,
    Cancel,
    Save
};

// What the options dialog reports to its logic: a button pressed, or a check box's value changed (also
// when the logic set it).
class OptionsDialogEvents
{
public:
    virtual ~OptionsDialogEvents() = default;

    // The dialog is about to be shown for the first time.
    virtual void load() = 0;
    virtual void clicked(DialogControl control) = 0;
};

// The operations the logic performs on the options dialog.
class OptionsDialog
{
public:
    virtual ~OptionsDialog() = default;

    virtual void setTitle(const std::string& title) = 0;
    // The caption of a label, check box or button, or the entry chosen in the pick list. Setting the pick
    // list's text chooses the entry with that text, or none when no entry has it.
    virtual std::string text(DialogControl control) const = 0;
    virtual void setText(DialogControl control, const std::string& text) = 0;
    virtual int value(DialogControl control) const = 0;
    virtual void setValue(DialogControl control, int value) = 0;
    virtual void setEnabled(DialogControl control, bool enabled) = 0;
    // The entries of the pick list.
    virtual void addItem(DialogControl control, int position, const std::string& text) = 0;
    // The control that takes the keys when the dialog is shown.
    virtual void setFocus(DialogControl control) = 0;
    // A modal message over the dialog with the one button OK.
    virtual void showMessage(const std::string& text, const std::string& title) = 0;
    // Closes the dialog; it is made anew at its next opening.
    virtual void close() = 0;
};

} // namespace carrovex
