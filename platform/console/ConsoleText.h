#pragma once

#include <cstdio>
#include <string>

namespace carrovex
{

// Writes UTF-8 text to the stream so that the user reads it as written: on a Windows console as the
// console's own wide characters, whatever its code page; anywhere else (a file, a pipe, a Linux terminal)
// as its bytes. Each platform's binding defines it; a write that fails is not reported.
void writeText(std::FILE* stream, const std::string& text);

} // namespace carrovex
