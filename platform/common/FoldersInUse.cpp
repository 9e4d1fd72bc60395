#include "platform/common/FoldersInUse.h"

namespace carrovex
{

std::string foldersInUse(const ProgramFolders& folders, char separator)
{
    std::string text = "Settings file:    " + folders.settings + separator + "Carrovex.ini\n";
    std::string heading = "Language folders: ";
    for (const std::string& folder : folders.languages) {
        text += heading + folder + '\n';
        heading.assign(heading.size(), ' ');
    }
    return text;
}

} // namespace carrovex
