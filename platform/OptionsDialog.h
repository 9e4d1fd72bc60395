#pragma once

#include <string>

namespace carrovex
{

enum class DialogControl { Label1, Combo1, Check1, Check2, Check3, cmdCancel, cmdSave };

// The operations the logic performs on the options dialog.
class OptionsDialog
{
public:
    virtual ~OptionsDialog() = default;

    virtual void setTitle(const std::string& title) = 0;
    // The caption of a label, check box or button, or the text of the combo field.
    virtual void setText(DialogControl control, const std::string& text) = 0;
};

} // namespace carrovex
