#pragma once

#include <string>

namespace carrovex
{

// The name under which a file is kept beside another file of its name: "scan.pdf" becomes "scan (2).pdf",
// "archive.tar.gz" "archive.tar (2).gz" and "README" "README (2)". The number goes before the last
// extension only, so that what opens the file by its type still does; a leading dot starts no extension.
template <class Char> std::basic_string<Char> numberedName(const std::basic_string<Char>& name, int number)
{
    const auto dot = name.rfind(Char('.'));
    const auto stemEnd = dot == std::basic_string<Char>::npos || dot == 0 ? name.size() : dot;
    const std::string mark = " (" + std::to_string(number) + ")";
    std::basic_string<Char> numbered = name.substr(0, stemEnd);
    numbered.append(mark.begin(), mark.end());
    return numbered + name.substr(stemEnd);
}

} // namespace carrovex
