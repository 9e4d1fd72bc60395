#include "form/PrintableName.h"

#include "store/Utf8.h"

#include <cstddef>

namespace carrovex
{

namespace
{

void appendHexEscape(std::string& out, unsigned char byte)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    out += "\\x";
    out += digits[byte >> 4];
    out += digits[byte & 0x0F];
}

} // namespace

std::string printableName(const std::string& name)
{
    std::string out;
    out.reserve(name.size());
    std::size_t position = 0;
    while (position < name.size()) {
        const auto byte = static_cast<unsigned char>(name[position]);
        if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            appendHexEscape(out, byte);
        } else if (byte < 0x80) {
            out += static_cast<char>(byte);
        } else {
            std::size_t next = position;
            if (nextCodePoint(name, next)) {
                out.append(name, position, next - position);
                position = next;
                continue;
            }
            appendHexEscape(out, byte);
        }
        ++position;
    }
    return out;
}

} // namespace carrovex
