#include "app/ConsoleOptions.h"

namespace carrovex
{

ParsedOptions parseConsoleOptions(const std::vector<std::string>& arguments)
{
    ParsedOptions parsed;
    ConsoleOptions& options = parsed.options;
    struct Valued {
        std::string name;
        std::optional<std::string>& value;
        const char* missing;
    };
    const Valued valued[]
        = {{"--dir", options.folder, "--dir needs a folder"}, {"--log", options.logFile, "--log needs a file"}};
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
        } else {
            const Valued* option = nullptr;
            for (const Valued& candidate : valued) {
                if (argument == candidate.name || argument.starts_with(candidate.name + "=")) {
                    option = &candidate;
                }
            }
            if (option == nullptr) {
                parsed.error = "unknown option '" + argument + "'";
                return parsed;
            }
            if (argument != option->name) {
                option->value = argument.substr(option->name.size() + 1);
            } else if (index + 1 < arguments.size()) {
                option->value = arguments[++index];
            }
            if (!option->value || option->value->empty()) {
                parsed.error = option->missing;
                return parsed;
            }
        }
    }
    return parsed;
}

} // namespace carrovex
