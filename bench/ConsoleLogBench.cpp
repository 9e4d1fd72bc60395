// The console program's log into a pipe: carrovex-console --once over 100,000 files that all exist in the
// destination already (Copy, overwrite off), so that every file costs a line and no copying; prints the
// lines per second that reached the reader.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace
{

constexpr int files = 100'000;

void makeFiles(const fs::path& folder)
{
    fs::create_directories(folder);
    for (int file = 0; file < files; ++file) {
        std::ofstream(folder / ("Bericht " + std::to_string(file) + ".pdf")) << file;
    }
}

} // namespace

int main(int argc, char** argv)
{
    const fs::path work = argc > 1 ? fs::path(argv[1]) : fs::path("/var/tmp/carrovex-console-bench");
    fs::remove_all(work);
    makeFiles(work / "source");
    makeFiles(work / "destination");
    fs::create_directories(work / "settings");
    std::ofstream(work / "settings" / "Carrovex.ini")
        << "[Options]\nFrom=" << (work / "source").string() << "\nTo=" << (work / "destination").string()
        << "\nAction=Copy\nOverwrite=0\nLanguage=English\n";

    const std::string command
        = std::string("'") + CARROVEX_CONSOLE + "' --once --dir '" + (work / "settings").string() + "'";
    const auto start = std::chrono::steady_clock::now();
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        std::perror("popen");
        return 1;
    }
    long lines = 0;
    for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe)) {
        lines += c == '\n';
    }
    const int status = ::pclose(pipe);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    fs::remove_all(work);

    const double perSecond = static_cast<double>(lines) / seconds;
    std::printf("%ld lines in %.2f s (status %d)\n", lines, seconds, WEXITSTATUS(status));
    std::printf("| lines per second into a pipe | %.0f | at least 50,000 %s |\n",
        perSecond,
        perSecond >= 50'000 ? "met" : "MISSED");
    return lines == files ? 0 : 1;
}
