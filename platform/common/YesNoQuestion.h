#pragma once

#include <functional>
#include <optional>
#include <string>

namespace carrovex
{

// Asks a yes/no question on a terminal: "question [Y/n] " on standard error, the answer from readLine.
// An empty answer is Yes, the default; "y", "yes", "j", "ja" and "n", "no", "nein" in any case are taken,
// anything else asks again. readLine gives one line without its end, or nothing when no answer can come
// (the input's end, a request to stop), which answers No.
bool askYesNo(const std::string& question, const std::function<std::optional<std::string>()>& readLine);

} // namespace carrovex
