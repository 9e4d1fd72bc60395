#include "app/ConsoleOptions.h"

namespace carrovex
{

ParsedOptions parseConsoleOptions(const std::vector<std::string>& arguments)
{
    ParsedOptions parsed;
    ConsoleOptions& options = parsed.options;
    const std::string dirPrefix = "--dir=";
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (argument == "--once") {
            options.once = true;
        } else if (argument == "--new-destination") {
            options.newDestination = true;
        } else if (argument == "--help" || argument == "-h" || argument == "/?") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--dir") {
            if (index + 1 == arguments.size()) {
                parsed.error = "--dir needs a folder";
                return parsed;
            }
            options.folder = arguments[++index];
        } else if (argument.starts_with(dirPrefix)) {
            options.folder = argument.substr(dirPrefix.size());
        } else {
            parsed.error = "unknown option '" + argument + "'";
            return parsed;
        }
        if (options.folder && options.folder->empty()) {
            parsed.error = "--dir needs a folder";
            return parsed;
        }
    }
    return parsed;
}

} // namespace carrovex
