#include "tests/DiskHelpers.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace carrovex::testing
{

namespace fs = std::filesystem;

TempFolder::TempFolder()
{
    // A name nobody can foresee: another user of the shared temporary folder could make it first.
    std::random_device random;
    fs::path made;
    do {
        made = fs::temp_directory_path() / ("carrovex-test-" + std::to_string(random()));
    } while (!fs::create_directory(made));
    fs::permissions(made, fs::perms::owner_all);
    m_path = utf8Path(made);
}

TempFolder::~TempFolder()
{
    // Read-only files (Windows) and folders that may not be written (POSIX) are made removable first.
    std::error_code ignored;
    const fs::path root = wholePath(m_path);
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (fs::recursive_directory_iterator entry(root, ignored), end; entry != end; entry.increment(ignored)) {
        if (!entry->is_symlink(ignored)) {
            fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::remove_all(root, ignored);
}

std::string TempFolder::folder(const std::string& name) const
{
    return makeFolder(m_path + static_cast<char>(fs::path::preferred_separator) + name);
}

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream(nativePath(path), std::ios::binary) << content;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(nativePath(path), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string entriesOf(const std::string& folder)
{
    std::vector<std::string> names = namesIn(folder);
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : " ") + name;
    }
    return joined;
}

} // namespace carrovex::testing
