#include "platform/console/ConsoleText.h"

namespace carrovex
{

void writeText(std::FILE* stream, const std::string& text)
{
    std::fputs(text.c_str(), stream);
}

} // namespace carrovex
