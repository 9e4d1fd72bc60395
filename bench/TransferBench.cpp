// Times whole transfer runs through the POSIX binding against cp and mv of the same files, measured in
// the same run, and prints the ratios. Needs root for the second file system (a loop-mounted ext4 image).
//
//   transfer_bench [work folder [case]]   (default /var/tmp/carrovex-bench; case: a word of the case names)
#include "engine/TransferRun.h"
#include "form/MainForm.h"
#include "platform/model/WindowModel.h"
#include "platform/posix/PosixClock.h"
#include "platform/posix/PosixDriveTable.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixNumberFormat.h"
#include "platform/posix/PosixTextFiles.h"
#include "store/IniStore.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace carrovex;

namespace
{

constexpr int repetitions = 5;

void shell(const std::string& command)
{
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

std::string shellQuoted(const std::string& path)
{
    return "'" + path + "'";
}

// Every timing starts from the same state: nothing dirty waiting to be written, and the source (only the
// source) in the page cache.
void settle(const std::string& source)
{
    shell("sync");
    if (::geteuid() == 0) {
        std::ofstream("/proc/sys/vm/drop_caches") << "3\n";
    }
    shell("cat " + shellQuoted(source) + "/* > /dev/null");
}

double seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void runCarrovex(const std::string& from, const std::string& to, bool move)
{
    WindowModel window;
    posix::PosixFileSystem files;
    posix::PosixDriveTable drives;
    posix::PosixClock clock;
    posix::PosixTextFiles textFiles;
    IniStore ini {textFiles};
    posix::PosixNumberFormat numbers;
    LanguageTexts texts;
    texts[35] = "ERROR";
    MainForm form {window, files, drives, clock, ini, numbers, {}, texts, {}, {}};
    window.setText(Control::SourceFolder, from);
    window.setText(Control::DestinationFolder, to);
    window.setValue(Control::Move, move ? 1 : 0);
    DoAction(form);
    for (const std::string& line : window.lines()) {
        if (line.find("ERROR") != std::string::npos) {
            std::fprintf(stderr, "%s\n", line.c_str());
        }
    }
}

struct Workload {
    std::string name;
    std::function<void(const std::string&)> create;
};

void makeSmallFiles(const std::string& folder)
{
    const std::string block(4096, 'x');
    for (int i = 0; i < 20000; ++i) {
        std::ofstream(folder + "/file" + std::to_string(i), std::ios::binary) << block;
    }
}

void makeLargeFile(const std::string& folder)
{
    shell("head -c 1G /dev/urandom > " + shellQuoted(folder + "/large.bin"));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Measures one operation of ours against the standard tool: each repetition starts from a fresh source
// and an empty destination, and times both from the same state of the disk and the page cache.
std::string selectedCase;

// Times the standard tool followed by a sync of the destination, the durable form of what it does.
std::string durably(const std::string& command, const std::string& destination)
{
    return command + " && sync -f " + shellQuoted(destination);
}

void compare(const std::string& label,
    const Workload& workload,
    const std::string& work,
    const std::string& destinationRoot,
    bool move,
    double goal)
{
    if (label.find(selectedCase) == std::string::npos) {
        return;
    }
    const bool otherDisk = destinationRoot != work;
    const std::string master = work + "/master-" + workload.name;
    if (!fs::exists(master)) {
        fs::create_directories(master);
        workload.create(master);
    }
    std::vector<double> ours;
    std::vector<double> theirs;
    std::vector<double> theirsDurable;
    for (int round = 0; round < repetitions; ++round) {
        // The order changes from round to round, so that neither side always follows the other.
        const std::vector<int> order = round % 2 == 0 ? std::vector<int> {0, 1, 2} : std::vector<int> {2, 1, 0};
        for (const int tool : order) {
            if (tool == 2 && !otherDisk) {
                continue;
            }
            const std::string source = work + "/source";
            const std::string destination = destinationRoot + "/destination";
            fs::remove_all(source);
            fs::remove_all(destination);
            fs::create_directories(destination);
            shell("cp -a " + shellQuoted(master) + " " + shellQuoted(source));
            settle(source);
            const std::string command = move ? "find " + shellQuoted(source) + " -mindepth 1 -maxdepth 1 -exec mv -t "
                    + shellQuoted(destination) + " {} +"
                                             : "cp -a " + shellQuoted(source) + "/. " + shellQuoted(destination) + "/";
            const double time = tool == 0 ? seconds([&] { runCarrovex(source, destination, move); })
                : tool == 1               ? seconds([&] { shell(command); })
                                          : seconds([&] { shell(durably(command, destination)); });
            (tool == 0 ? ours : tool == 1 ? theirs : theirsDurable).push_back(time);
            if (move && tool == 0 && !fs::is_empty(source)) {
                std::fprintf(stderr, "%s: files were left in the source\n", label.c_str());
            }
        }
    }
    const double ratio = median(ours) / median(theirs);
    std::printf("%-44s carrovex %7.3f s  %-3s %7.3f s  ratio %5.2f  goal <= %.1f  %s\n",
        label.c_str(),
        median(ours),
        move ? "mv" : "cp",
        median(theirs),
        ratio,
        goal,
        ratio <= goal ? "met" : "MISSED");
    if (otherDisk) {
        std::printf("%-44s durable reference: %s + sync %7.3f s  ratio %5.2f\n",
            "",
            move ? "mv" : "cp",
            median(theirsDurable),
            median(ours) / median(theirsDurable));
    }
    std::fflush(stdout);
}

// A second file system on a loop-mounted ext4 image, so that flushing costs what it costs on a disk.
class LoopDisk
{
public:
    explicit LoopDisk(const std::string& work)
        : m_image(work + "/disk.img")
        , m_mount(work + "/disk")
    {
        if (::geteuid() != 0) {
            return;
        }
        fs::create_directories(m_mount);
        shell("truncate -s 4G " + shellQuoted(m_image) + " && mkfs.ext4 -q -F " + shellQuoted(m_image));
        m_mounted = std::system(("mount -o loop " + shellQuoted(m_image) + " " + shellQuoted(m_mount)).c_str()) == 0;
    }
    ~LoopDisk()
    {
        if (m_mounted) {
            std::system(("umount " + shellQuoted(m_mount)).c_str());
        }
        fs::remove(m_image);
    }
    bool mounted() const
    {
        return m_mounted;
    }
    const std::string& path() const
    {
        return m_mount;
    }

private:
    std::string m_image;
    std::string m_mount;
    bool m_mounted = false;
};

} // namespace

int main(int argc, char** argv)
{
    const std::string work = argc > 1 ? argv[1] : "/var/tmp/carrovex-bench";
    selectedCase = argc > 2 ? argv[2] : "";
    fs::create_directories(work);
    const Workload small {"small", makeSmallFiles};
    const Workload large {"large", makeLargeFile};

    compare("copy 20,000 files of 4 KiB", small, work, work, false, 1.3);
    compare("move 20,000 files of 4 KiB, same file system", small, work, work, true, 1.5);
    compare("copy one file of 1 GiB", large, work, work, false, 1.1);
    if (selectedCase.empty() || selectedCase.find("loop") != std::string::npos) {
        LoopDisk disk(work);
        if (disk.mounted()) {
            compare("move 20,000 files of 4 KiB onto loop ext4", small, work, disk.path(), true, 1.5);
            compare("move one file of 1 GiB onto loop ext4", large, work, disk.path(), true, 1.5);
        } else {
            std::printf("moves onto a second file system skipped: mounting the loop image needs root\n");
        }
    }
    fs::remove_all(work + "/source");
    fs::remove_all(work + "/destination");
    return 0;
}
