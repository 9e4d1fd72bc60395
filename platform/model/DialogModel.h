#pragma once

#include "platform/OptionsDialog.h"

#include <map>
#include <string>

namespace carrovex
{

// The options dialog kept in memory, for running its logic without a display.
class DialogModel final : public OptionsDialog
{
public:
    void setTitle(const std::string& title) override;
    void setText(DialogControl control, const std::string& text) override;

    const std::string& title() const;
    std::string text(DialogControl control) const;

private:
    std::string m_title;
    std::map<DialogControl, std::string> m_texts;
};

} // namespace carrovex
