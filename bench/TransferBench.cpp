// Times what a user runs, `carrovex-console --once`, against cp and mv of the same files followed by the
// flush that makes their result as durable as ours, measured in the same run, and prints the ratios.
// Needs root for the second file system (a loop-mounted ext4 image) and for settling the page cache.
//
//   transfer_bench [work folder [case]]   (default /var/tmp/carrovex-bench; case: a word of the case names)
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
    shell("find " + shellQuoted(source) + " -type f -exec cat {} + > /dev/null");
}

double seconds(const std::string& command)
{
    const auto start = std::chrono::steady_clock::now();
    shell(command);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The load average over the last minute: the machine is shared, and a figure means little without it.
std::string loadAverage()
{
    std::string load;
    std::ifstream("/proc/loadavg") >> load;
    return load;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Workload {
    std::string name;
    std::function<void(const std::string&)> create;
    bool manyFiles = false;
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

struct Case {
    std::string label;
    const Workload& workload;
    std::string destinationRoot;
    bool move;
    double goal;
    bool toolFlushes = true; // the tool is followed by sync (a rename within a file system needs none)
    bool load = false; // another program's 2 GB wait unwritten on the destination's file system
};

class Bench
{
public:
    Bench(std::string work, std::string console)
        : m_work(std::move(work))
        , m_console(std::move(console))
    {
    }

    void compare(const Case& c);

private:
    std::string program(const std::string& source, const std::string& destination, bool move);
    std::string tool(const std::string& source, const std::string& destination, bool move, bool flush);
    void putAside(const std::string& folder, const Case& c);

    std::string m_work;
    std::string m_console;
    int m_putAside = 0;
};

// The settings of a once-run from source to destination; the console takes its languages from beside itself.
std::string Bench::program(const std::string& source, const std::string& destination, bool move)
{
    const std::string settings = m_work + "/settings";
    fs::create_directories(settings);
    std::ofstream(settings + "/Carrovex.ini")
        << "[Options]\nFrom=" << source << "\nTo=" << destination << "\nAction=" << (move ? "Move" : "Copy")
        << "\nOverwrite=0\nLanguage=English\n";
    return shellQuoted(m_console) + " --once --dir " + shellQuoted(settings) + " > " + shellQuoted(m_work + "/log");
}

// The standard tool, followed by the flush of the destination that makes its result durable.
std::string Bench::tool(const std::string& source, const std::string& destination, bool move, bool flush)
{
    const std::string command = move
        ? "find " + shellQuoted(source) + " -mindepth 1 -maxdepth 1 -exec mv -t " + shellQuoted(destination) + " {} +"
        : "cp -p -r " + shellQuoted(source) + "/. " + shellQuoted(destination) + "/";
    return flush ? command + " && sync -f " + shellQuoted(destination) : command;
}

// An ext4 without a journal (as this machine's root) skips the inodes freed within the last minute when it
// makes a file, reading the inode table for each: removing 20,000 files just before a timing made it cost
// up to twice as much, for either side by chance. The many files of a timing are therefore put aside, in
// the same file system, and removed only when the benchmark ends.
void Bench::putAside(const std::string& folder, const Case& c)
{
    if (!fs::exists(folder)) {
        return;
    }
    if (!c.workload.manyFiles) {
        fs::remove_all(folder);
        return;
    }
    const std::string aside = c.destinationRoot + "/aside";
    fs::create_directories(aside);
    fs::rename(folder, aside + "/" + std::to_string(m_putAside++));
}

void Bench::compare(const Case& c)
{
    const std::string master = m_work + "/master-" + c.workload.name;
    if (!fs::exists(master)) {
        fs::create_directories(master);
        c.workload.create(master);
    }
    // A copy leaves its source as it was: the source is made once per case, and a move's refilled.
    const std::string source = m_work + "/source";
    const std::string destination = c.destinationRoot + "/destination";
    const std::string load = c.destinationRoot + "/load.bin";
    Case inSource = c;
    inSource.destinationRoot = m_work;
    putAside(source, inSource);
    std::vector<double> ours;
    std::vector<double> theirs;
    std::string loads;
    for (int round = 0; round < repetitions; ++round) {
        // The order changes from round to round, so that neither side always follows the other.
        for (const int side : round % 2 == 0 ? std::vector<int> {0, 1} : std::vector<int> {1, 0}) {
            putAside(destination, c);
            fs::remove(load);
            fs::create_directories(destination);
            if (c.move && fs::exists(source) && !fs::is_empty(source)) {
                putAside(source, inSource);
            }
            if (!fs::exists(source) || fs::is_empty(source)) {
                fs::remove(source);
                shell("cp -a " + shellQuoted(master) + " " + shellQuoted(source));
            }
            settle(source);
            if (c.load) {
                shell("dd if=/dev/zero of=" + shellQuoted(load) + " bs=1M count=2048 status=none");
            }
            const double time = seconds(
                side == 0 ? program(source, destination, c.move) : tool(source, destination, c.move, c.toolFlushes));
            (side == 0 ? ours : theirs).push_back(time);
            if (side == 0 && c.move && !fs::is_empty(source)) {
                std::fprintf(stderr, "%s: files were left in the source\n", c.label.c_str());
            }
        }
        loads += (round == 0 ? "" : " ") + loadAverage();
    }
    fs::remove(load);
    putAside(destination, c);
    const double ratio = median(ours) / median(theirs);
    // How far the rounds' own ratios spread: on a shared machine one round can be off by a fifth.
    std::vector<double> roundRatios;
    for (std::size_t round = 0; round < ours.size(); ++round) {
        roundRatios.push_back(ours[round] / theirs[round]);
    }
    const auto [lowest, highest] = std::minmax_element(roundRatios.begin(), roundRatios.end());
    std::printf("%-52s carrovex %7.3f s  %-15s %7.3f s  ratio %5.2f (rounds %.2f-%.2f)  goal <= %.2f  %-6s  load %s\n",
        c.label.c_str(),
        median(ours),
        (std::string(c.move ? "mv" : "cp -p -r") + (c.toolFlushes ? " + sync" : "")).c_str(),
        median(theirs),
        ratio,
        *lowest,
        *highest,
        c.goal,
        ratio <= c.goal ? "met" : "MISSED",
        loads.c_str());
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
        // Inodes enough for the files of every timing put aside (the default ratio leaves 512 Ki).
        shell("truncate -s 8G " + shellQuoted(m_image) + " && mkfs.ext4 -q -F -N 2000000 " + shellQuoted(m_image));
        m_mounted = std::system(("mount -o loop " + shellQuoted(m_image) + " " + shellQuoted(m_mount)).c_str()) == 0;
    }
    LoopDisk(const LoopDisk&) = delete;
    LoopDisk& operator=(const LoopDisk&) = delete;
    ~LoopDisk()
    {
        if (m_mounted) {
            [[maybe_unused]] const int ignored = std::system(("umount " + shellQuoted(m_mount)).c_str());
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
    const std::string selected = argc > 2 ? argv[2] : "";
    fs::create_directories(work);
    const Workload small {"small", makeSmallFiles, true};
    const Workload large {"large", makeLargeFile};
    LoopDisk disk(work);
    if (!disk.mounted()) {
        std::printf("the cases onto a second file system are skipped: mounting the loop image needs root\n");
    }
    Bench bench(work, CARROVEX_CONSOLE);
    const std::vector<Case> cases {
        {"copy 20,000 x 4 KiB, one file system", small, work, false, 1.15},
        {"copy 20,000 x 4 KiB onto loop ext4", small, disk.path(), false, 1.15},
        {"move 20,000 x 4 KiB, one file system", small, work, true, 1.2, false},
        {"move 20,000 x 4 KiB onto loop ext4", small, disk.path(), true, 1.2},
        {"copy 1 GiB, one file system", large, work, false, 1.05},
        {"move 1 GiB onto loop ext4", large, disk.path(), true, 1.05},
        {"copy 20,000 x 4 KiB onto loop ext4, 2 GB pending", small, disk.path(), false, 1.0, true, true},
    };
    for (const Case& c : cases) {
        const bool onDisk = c.destinationRoot == disk.path();
        if (c.label.find(selected) != std::string::npos && (!onDisk || disk.mounted())) {
            bench.compare(c);
        }
    }
    fs::remove_all(work + "/source");
    fs::remove_all(work + "/aside");
    return 0;
}
