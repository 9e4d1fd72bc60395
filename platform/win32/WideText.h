#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace carrovex::win32
{

// The logic's texts are UTF-8; Windows speaks UTF-16. Only wide ("...W") calls are made, and every text is
// converted at the binding's edge: a narrow call or fopen would take UTF-8 bytes as the ANSI code page.
//
// A file name can hold UTF-16 that is not valid (a lone surrogate, which NTFS allows). Such a unit is
// carried through UTF-8 as the three bytes it would have (WTF-8), so that every listed name leads back to
// its file; the logic shows those bytes escaped, as it does with a Linux name that is not UTF-8.

// UTF-16 (lone surrogates included) as UTF-8.
std::string narrow(std::wstring_view text);

// UTF-8 (lone surrogates included) as UTF-16; nothing when the bytes are not such text, so that a path is
// never turned into the name of another file.
std::optional<std::wstring> widenExactly(std::string_view text);

// The same for texts that are only shown: bytes that are not UTF-8 become U+FFFD.
std::wstring widen(std::string_view text);

} // namespace carrovex::win32
