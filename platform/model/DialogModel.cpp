#include "platform/model/DialogModel.h"

namespace carrovex
{

void DialogModel::setTitle(const std::string& title)
{
    m_title = title;
}

void DialogModel::setText(DialogControl control, const std::string& text)
{
    m_texts[control] = text;
}

const std::string& DialogModel::title() const
{
    return m_title;
}

std::string DialogModel::text(DialogControl control) const
{
    const auto found = m_texts.find(control);
    return found == m_texts.end() ? std::string() : found->second;
}

} // namespace carrovex
