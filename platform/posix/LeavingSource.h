#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace carrovex::posix
{

// The source of a move leaves its folder in two steps: it is first renamed to a hidden name beside it, so
// that no program can open it by its name any more, and removed only once no writer has turned up. A
// program killed in between leaves the hidden name behind; its copy is already whole in the destination,
// so the next listing gives the file its name back and the next run finishes the move.

// The hidden name that the file named `name` leaves under.
std::string leavingName(const std::string& name);

bool isLeavingName(std::string_view name);

// Gives the file under the hidden name in the folder open as folderFd its name back, or where another file
// has taken that name meanwhile, the first free numbered one ("name (2).ext"), so that it never stays
// hidden. Returns the name it got; empty where it could get none.
std::string giveNameBack(int folderFd, const std::string& hidden, const std::string& name);

// Gives the files left under the hidden names (as listed in the folder open as folderFd) their names back;
// one that another program is removing right now stays as it is. Returns the names given back.
std::vector<std::string> restoreLeftSources(int folderFd, const std::vector<std::string>& hiddenNames);

} // namespace carrovex::posix
