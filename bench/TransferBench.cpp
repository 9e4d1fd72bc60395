// Times what a user runs, `carrovex-console --once`, against cp, mv and rsync of the same files followed by
// the flush that makes their result as durable as ours, measured in the same run, and prints the ratios.
// Needs root for the second file system (a loop-mounted ext4 image) and for settling the page cache.
//
//   transfer_bench [work folder [case]]   (default /var/tmp/carrovex-bench; case: a word of the case names)
//
// The cases of 200,000 and 1,000,000 files run only when named ("files in one folder"): they take long.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{

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

struct Timing {
    double seconds = 0;
    long peakKiB = 0; // the resident memory at its highest, of the program that the shell became
};

// Runs the command through a shell that becomes its last program ("exec"), so that the resources waited
// for are that program's own.
Timing timed(const std::string& command)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {
    };
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), usage.ru_maxrss};
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
    std::size_t files = 1;
    bool manyFiles = false;
};

std::function<void(const std::string&)> smallFiles(int count)
{
    return [count](const std::string& folder) {
        const std::string block(4096, 'x');
        for (int i = 0; i < count; ++i) {
            std::ofstream(folder + "/file" + std::to_string(i), std::ios::binary) << block;
        }
    };
}

void makeLargeFile(const std::string& folder)
{
    shell("head -c 1G /dev/urandom > " + shellQuoted(folder + "/large.bin"));
}

// What a case is timed with: our program, then what a user would pick instead.
enum class Side { Carrovex, Tool, Rsync, RsyncFsync };

struct Case {
    std::string label;
    const Workload& workload;
    std::string destinationRoot;
    bool move;
    double goal;
    Side goalAgainst = Side::Tool;
    bool toolFlushes = true; // the tool is followed by sync (a rename within a file system needs none)
    bool load = false; // another program's 2 GB wait unwritten on the destination's file system
    bool withRsync = true;
    int rounds = 5;
    bool onlyWhenNamed = false;
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
    std::string command(Side side, const std::string& source, const std::string& destination, const Case& c);
    void putAside(const std::string& folder, const Case& c);
    void report(const Case& c,
        const std::vector<Side>& sides,
        const std::vector<std::vector<double>>& times,
        long peakKiB,
        const std::string& loads);

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
    return "exec " + shellQuoted(m_console) + " --once --dir " + shellQuoted(settings) + " > "
        + shellQuoted(m_work + "/log");
}

// The command of one side; the tools are followed by the flush of the destination that makes their result
// durable, except rsync --fsync, which flushes each file itself.
std::string Bench::command(Side side, const std::string& source, const std::string& destination, const Case& c)
{
    const std::string from = shellQuoted(source) + "/";
    const std::string to = shellQuoted(destination) + "/";
    const std::string sync = " && sync -f " + shellQuoted(destination);
    const std::string removing = c.move ? " --remove-source-files " : " ";
    switch (side) {
    case Side::Carrovex:
        return program(source, destination, c.move);
    case Side::Tool:
        return (c.move ? "find " + shellQuoted(source) + " -mindepth 1 -maxdepth 1 -exec mv -t " + to + " {} +"
                       : "cp -p -r " + from + ". " + to)
            + (c.toolFlushes ? sync : "");
    case Side::Rsync:
        return "rsync -a" + removing + from + " " + to + sync;
    case Side::RsyncFsync:
        return "rsync -a --fsync" + removing + from + " " + to;
    }
    return {};
}

std::string sideName(Side side, const Case& c)
{
    switch (side) {
    case Side::Carrovex:
        return "carrovex";
    case Side::Tool:
        return std::string(c.move ? "mv" : "cp -p -r") + (c.toolFlushes ? " + sync" : "");
    case Side::Rsync:
        return std::string("rsync -a") + (c.move ? " --remove-source-files" : "") + " + sync";
    case Side::RsyncFsync:
        return "rsync -a --fsync";
    }
    return {};
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
    std::vector<Side> sides {Side::Carrovex, Side::Tool};
    if (c.withRsync && std::system("command -v rsync > /dev/null") == 0) {
        sides.insert(sides.end(), {Side::Rsync, Side::RsyncFsync});
    }
    std::vector<std::vector<double>> times(sides.size());
    long peakKiB = 0;
    std::string loads;
    for (int round = 0; round < c.rounds; ++round) {
        // The order turns from round to round, so that no side always follows the same other one.
        for (std::size_t turn = 0; turn < sides.size(); ++turn) {
            const std::size_t side = (turn + static_cast<std::size_t>(round)) % sides.size();
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
            const Timing timing = timed(command(sides[side], source, destination, c));
            times[side].push_back(timing.seconds);
            if (sides[side] == Side::Carrovex) {
                peakKiB = std::max(peakKiB, timing.peakKiB);
                if (c.move && !fs::is_empty(source)) {
                    std::fprintf(stderr, "%s: files were left in the source\n", c.label.c_str());
                }
            }
        }
        loads += (round == 0 ? "" : " ") + loadAverage();
    }
    fs::remove(load);
    putAside(destination, c);
    report(c, sides, times, peakKiB, loads);
}

// One line per case: our median, each other side's median with the ratio to it and how far the rounds' own
// ratios spread (on a shared machine one round can be off by a fifth), the goal, and the load.
void Bench::report(const Case& c,
    const std::vector<Side>& sides,
    const std::vector<std::vector<double>>& times,
    long peakKiB,
    const std::string& loads)
{
    const double ours = median(times[0]);
    const auto files = static_cast<double>(std::max<std::size_t>(1, c.workload.files));
    std::printf("%s\n  carrovex %.3f s (%.1f us a file, peak %ld MiB)",
        c.label.c_str(),
        ours,
        ours / files * 1e6,
        peakKiB / 1024);
    std::string verdict;
    for (std::size_t side = 1; side < sides.size(); ++side) {
        const double ratio = ours / median(times[side]);
        std::vector<double> roundRatios;
        for (std::size_t round = 0; round < times[side].size(); ++round) {
            roundRatios.push_back(times[0][round] / times[side][round]);
        }
        const auto [lowest, highest] = std::minmax_element(roundRatios.begin(), roundRatios.end());
        std::printf("\n  %-40s %8.3f s  ratio %5.2f (rounds %.2f-%.2f)",
            sideName(sides[side], c).c_str(),
            median(times[side]),
            ratio,
            *lowest,
            *highest);
        if (sides[side] == c.goalAgainst) {
            verdict = " goal <= " + std::to_string(c.goal).substr(0, 4) + (ratio <= c.goal ? " met" : " MISSED");
            std::printf("%s", verdict.c_str());
        }
    }
    std::printf("\n  load %s\n", loads.c_str());
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
        // A run that was interrupted left its disk mounted.
        [[maybe_unused]] const int ignored
            = std::system(("umount -q " + shellQuoted(m_mount) + " 2>/dev/null").c_str());
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
    const Workload small {"small", smallFiles(20'000), 20'000, true};
    const Workload large {"large", makeLargeFile};
    const Workload many {"many", smallFiles(200'000), 200'000, true};
    const Workload most {"most", smallFiles(1'000'000), 1'000'000, true};
    LoopDisk disk(work);
    if (!disk.mounted()) {
        std::printf("the cases onto a second file system are skipped: mounting the loop image needs root\n");
    }
    Bench bench(work, CARROVEX_CONSOLE);
    const std::string onDisk = disk.path();
    const std::vector<Case> cases {
        {.label = "copy 20,000 x 4 KiB, one file system",
            .workload = small,
            .destinationRoot = work,
            .move = false,
            .goal = 1.15},
        {.label = "copy 20,000 x 4 KiB onto loop ext4",
            .workload = small,
            .destinationRoot = onDisk,
            .move = false,
            .goal = 1.15},
        {.label = "move 20,000 x 4 KiB, one file system",
            .workload = small,
            .destinationRoot = work,
            .move = true,
            .goal = 1.2,
            .toolFlushes = false},
        {.label = "move 20,000 x 4 KiB onto loop ext4",
            .workload = small,
            .destinationRoot = onDisk,
            .move = true,
            .goal = 1.0,
            .goalAgainst = Side::Rsync},
        {.label = "copy 1 GiB, one file system",
            .workload = large,
            .destinationRoot = work,
            .move = false,
            .goal = 1.05},
        {.label = "move 1 GiB onto loop ext4",
            .workload = large,
            .destinationRoot = onDisk,
            .move = true,
            .goal = 1.05},
        {.label = "copy 20,000 x 4 KiB onto loop ext4, 2 GB pending",
            .workload = small,
            .destinationRoot = onDisk,
            .move = false,
            .goal = 1.0,
            .load = true},
        // Time per file must stay within a tenth of the 20,000 files' one, and memory bounded.
        {.label = "move 200,000 files in one folder, one file system",
            .workload = many,
            .destinationRoot = work,
            .move = true,
            .goal = 1.2,
            .toolFlushes = false,
            .withRsync = false,
            .rounds = 2,
            .onlyWhenNamed = true},
        {.label = "move 1,000,000 files in one folder, one file system",
            .workload = most,
            .destinationRoot = work,
            .move = true,
            .goal = 1.2,
            .toolFlushes = false,
            .withRsync = false,
            .rounds = 2,
            .onlyWhenNamed = true},
    };
    for (const Case& c : cases) {
        const bool needsDisk = c.destinationRoot == disk.path();
        const bool named = !selected.empty() && c.label.find(selected) != std::string::npos;
        if ((named || (selected.empty() && !c.onlyWhenNamed)) && (!needsDisk || disk.mounted())) {
            bench.compare(c);
        }
    }
    fs::remove_all(work + "/source");
    fs::remove_all(work + "/aside");
    return 0;
}
