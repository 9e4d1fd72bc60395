#include "platform/posix/PosixFileSystem.h"

#include "platform/posix/FileDescriptor.h"
#include "platform/posix/PosixDriveTable.h"
#include "platform/posix/PosixTextFiles.h"
#include "platform/posix/RemovedSourceCloser.h"
#include "tests/FileSystemContract.h"
#include "tests/posix/DiskFixtures.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using ::testing::UnorderedElementsAre;

namespace carrovex::testing
{

namespace
{

class PosixFiles : public ::testing::Test
{
protected:
    TempFolder temp;
    std::string source = temp.folder("source");
    std::string destination = temp.folder("destination");
    // Its name has a blank, which the mount table writes as \040, followed by digits.
    TmpfsMount disk {temp.path() + "/mnt 2024", "1m"};
    posix::PosixFileSystem files {settlingQuickly};
};

struct PosixDisk {
    using Files = posix::PosixFileSystem;
    using TextFiles = posix::PosixTextFiles;
    using Drives = posix::PosixDriveTable;
    using Volume = TmpfsMount;
    static constexpr char separator = '/';
    static constexpr const char* lineEnd = "\n";

    static Files files()
    {
        return Files(settlingQuickly);
    }
    static Files limitedTo(std::size_t files, std::int64_t bytes, std::chrono::milliseconds age)
    {
        return Files(posix::BatchLimits {.files = files, .bytes = bytes, .age = age, .settleTime = testSettleTime});
    }
    static Volume volume(const TempFolder& temp)
    {
        return Volume(temp.path() + "/volume", "4m");
    }
    static inline const std::string alreadyExists = "File exists";
    static inline const std::string diskFull = "No space left on device";
    static void setReadOnly(const std::string& path, bool on)
    {
        ::chmod(path.c_str(), on ? 0444 : 0644);
    }
    static bool isReadOnly(const std::string& path)
    {
        return (statOf(path).st_mode & 0222) == 0;
    }
    static void setTime(const std::string& path)
    {
        const timespec times[2] = {{1'000'000'000, 5}, {1'100'000'000, 123'456'789}};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
    static void setWholeSecond(const std::string& path, int seconds)
    {
        const timespec times[2] = {{1'100'000'000 + seconds, 0}, {1'100'000'000 + seconds, 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
    static bool hasTheTimeSet(const std::string& path)
    {
        const timespec written = statOf(path).st_mtim;
        return written.tv_sec == 1'100'000'000 && written.tv_nsec == 123'456'789;
    }
    static std::string leftCopy(const std::string& folder, int number)
    {
        const std::string path = folder + "/.carrovex-999999-" + std::to_string(number) + ".tmp";
        writeFile(path, "half");
        return path;
    }
    static posix::FileDescriptor hold(const std::string& path)
    {
        posix::FileDescriptor held(::open(path.c_str(), O_RDONLY));
        ::flock(held.get(), LOCK_EX);
        return held;
    }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Posix, FileSystemContract, PosixDisk);

// Only regular visible files are listed, by their very bytes, and only they are taken.
TEST_F(PosixFiles, ListsAndTakesOnlyRegularVisibleFilesByteForByte)
{
    const std::vector<std::string> names = {"with blank.txt", "new\nline", "tab\there", "M\xE4rz.txt"};
    for (const std::string& name : names) {
        writeFile(source + "/" + name, "x");
    }
    writeFile(source + "/.hidden", "x");
    ::mkdir((source + "/folder").c_str(), 0755);
    ::symlink((source + "/with blank.txt").c_str(), (source + "/link").c_str());
    ::mkfifo((source + "/fifo").c_str(), 0644);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const std::string socketPath = source + "/socket";
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::mknod((source + "/null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    }

    const Result<std::vector<std::string>> listing = files.listPlainFiles(source);
    const Status link = transferNow(files, source + "/link", destination + "/link", Transfer::Copy);
    const Status fifo = transferNow(files, source + "/fifo", destination + "/fifo", Transfer::Copy);
    ::close(sock);

    ASSERT_TRUE(listing.ok()) << listing.error();
    EXPECT_THAT(listing.value(), UnorderedElementsAre(names[0], names[1], names[2], names[3]));
    EXPECT_EQ(files.listPlainFiles(temp.path() + "/missing").error(), "No such file or directory");
    EXPECT_FALSE(link.ok());
    EXPECT_EQ(fifo.error(), "Not a regular file");
    EXPECT_EQ(entriesOf(destination), "");
}

TEST_F(PosixFiles, CopyKeepsThePermissionBits)
{
    const mode_t usualMask = ::umask(022);
    // Within the mask, and beyond it: the program's mask must not take bits from the copy.
    for (const mode_t mode : {0640U, 0666U}) {
        const std::string name = std::to_string(mode);
        writeFile(source + "/" + name, "content");
        ::chmod((source + "/" + name).c_str(), mode);

        ASSERT_TRUE(transferNow(files, source + "/" + name, destination + "/" + name, Transfer::Copy).ok());

        EXPECT_EQ(statOf(destination + "/" + name).st_mode & 07777, mode);
    }
    ::umask(usualMask);
}

// Another program makes the first free numbered name while the file waits in its batch, and another keeps
// making names as fast as it can: the file takes a free number, and nothing of theirs is replaced.
TEST_F(PosixFiles, KeepingBothTakesAnotherNumberWhenAnotherProgramTakesOneMeanwhile)
{
    SKIP_UNLESS_MOUNTED(disk);
    for (const Transfer how : {Transfer::CopyKeepingBoth, Transfer::MoveKeepingBoth}) {
        const std::string to = disk.path() + (how == Transfer::CopyKeepingBoth ? "/copy" : "/move");
        ASSERT_EQ(::mkdir(to.c_str(), 0755), 0);
        writeFile(source + "/a.txt", "new");
        writeFile(to + "/a.txt", "theirs");
        ASSERT_TRUE(files.startTransfer(source + "/a.txt", to + "/a.txt", how).ok());
        const pid_t other = ::fork();
        if (other == 0) {
            for (int number = 2; number < 60; ++number) {
                const std::string name = to + "/a (" + std::to_string(number) + ").txt";
                const int made = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
                if (made >= 0 && ::write(made, "theirs", 6) == 6) {
                    ::close(made);
                }
            }
            ::_exit(0);
        }
        writeFile(to + "/a (2).txt", "theirs");

        const std::vector<Placed> outcomes = files.completeBatch();
        ::waitpid(other, nullptr, 0);

        ASSERT_EQ(outcomes.size(), 1U);
        ASSERT_TRUE(outcomes[0].ok()) << outcomes[0].error();
        EXPECT_NE(outcomes[0].value(), "a (2).txt");
        // Theirs are 2 to 59; ours is one of them or 60.
        int ours = 0;
        for (int number = 2; number <= 60; ++number) {
            const std::string name = "a (" + std::to_string(number) + ").txt";
            const std::string content = readFile(to + "/" + name);
            ours += content == "new" ? 1 : 0;
            EXPECT_TRUE(content == "new" || content == "theirs" || number == 60) << name << ": " << content;
        }
        EXPECT_EQ(ours, 1);
        EXPECT_EQ(readFile(to + "/" + outcomes[0].value()), "new");
        EXPECT_EQ(exists(source + "/a.txt"), how == Transfer::CopyKeepingBoth);
    }
}

// Within one file system a move is a rename, made at once; the moved file is not kept from writers.
TEST_F(PosixFiles, MoveWithinOneFileSystemRenamesAtOnceAndKeepsNoLease)
{
    writeFile(source + "/a.txt", "content");
    const ino_t inode = statOf(source + "/a.txt").st_ino;

    ASSERT_TRUE(files.startTransfer(source + "/a.txt", destination + "/a.txt", Transfer::Move).ok());
    EXPECT_FALSE(exists(source + "/a.txt"));
    EXPECT_EQ(statOf(destination + "/a.txt").st_ino, inode) << "renamed, not copied";
    const int writer = ::open((destination + "/a.txt").c_str(), O_WRONLY | O_APPEND | O_NONBLOCK);
    EXPECT_GE(writer, 0) << "the writer would wait: " << std::strerror(errno);
    ::close(writer);
    const std::vector<Placed> outcomes = files.completeBatch();

    ASSERT_EQ(outcomes.size(), 1U);
    EXPECT_TRUE(outcomes[0].ok()) << outcomes[0].error();
}

TEST_F(PosixFiles, SameFileSeesLinks)
{
    writeFile(source + "/a.txt", "x");
    ::link((source + "/a.txt").c_str(), (destination + "/a.txt").c_str());
    ::symlink(source.c_str(), (temp.path() + "/alias").c_str());

    EXPECT_TRUE(files.sameFile(source + "/a.txt", destination + "/a.txt").value());
    EXPECT_TRUE(files.sameFile(source + "/a.txt", temp.path() + "/alias/a.txt").value());
    EXPECT_TRUE(files.sameFile(source, temp.path() + "/alias").value());
}

// Only what has the very form of a staged copy is one.
TEST_F(PosixFiles, CleaningUpLeavesTheUsersLookalikes)
{
    const std::vector<std::string> users
        = {destination + "/notes.tmp", destination + "/.carrovex-plan.txt", destination + "/.carrovex-leaving-a.tmp"};
    for (const std::string& user : users) {
        writeFile(user, "the user's");
    }
    const std::string pipeWithOurName = destination + "/.carrovex-999999-2.tmp";
    ASSERT_EQ(::mkfifo(pipeWithOurName.c_str(), 0600), 0);
    writeFile(source + "/a.txt", "x");

    ASSERT_TRUE(transferNow(files, source + "/a.txt", destination + "/a.txt", Transfer::Copy).ok());

    EXPECT_TRUE(exists(pipeWithOurName)) << "only regular files can be our copies";
    for (const std::string& user : users) {
        EXPECT_EQ(readFile(user), "the user's") << user;
    }
}

// A program killed while a moved file left its source folder leaves it under its hidden name: the next listing
// gives it its name back (a numbered one where its name was taken again), unless the program moving it still
// holds it.
TEST_F(PosixFiles, SourceLeftUnderItsLeavingNameGetsItsNameBack)
{
    const std::string hidden = source + "/.carrovex-leaving-";
    writeFile(hidden + "a.txt", "a");
    writeFile(hidden + "b.txt", "old b");
    writeFile(source + "/b.txt", "new b");
    writeFile(hidden + "held.txt", "held");
    ASSERT_EQ(::mkfifo((hidden + "fifo").c_str(), 0600), 0);
    const int holder = ::open((hidden + "held.txt").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    const Result<std::vector<std::string>> listing = files.listPlainFiles(source);
    ::close(holder);

    ASSERT_TRUE(listing.ok()) << listing.error();
    EXPECT_THAT(listing.value(), UnorderedElementsAre("a.txt", "b.txt", "b (2).txt"));
    EXPECT_EQ(readFile(source + "/a.txt"), "a");
    EXPECT_EQ(readFile(source + "/b.txt"), "new b");
    EXPECT_EQ(readFile(source + "/b (2).txt"), "old b");
    EXPECT_EQ(readFile(hidden + "held.txt"), "held");
}

// A file where a folder should be means no file; a folder that may not be searched cannot tell, which is a
// failure in the system's words, as are other refusals.
TEST_F(PosixFiles, PermissionsAreReportedInTheSystemsWords)
{
    writeFile(source + "/secret", "x");
    EXPECT_FALSE(files.fileExists(source + "/secret/b").value());
    const std::string unsearchable = temp.folder("unsearchable");
    writeFile(unsearchable + "/a.txt", "x");
    ::chmod(unsearchable.c_str(), 0700);
    ::chmod((source + "/secret").c_str(), 0);
    ::chmod(temp.path().c_str(), 0777);
    ::chmod(source.c_str(), 0777);
    const std::string readOnly = temp.folder("read-only");
    ::chmod(readOnly.c_str(), 0555);

    EXPECT_TRUE(asUnprivilegedUser([&] {
        posix::PosixFileSystem unprivileged;
        const Status unreadable
            = transferNow(unprivileged, source + "/secret", destination + "/secret", Transfer::Copy);
        ::chmod(source.c_str(), 0777);
        writeFile(source + "/open", "x");
        const Status unwritable = transferNow(unprivileged, source + "/open", readOnly + "/open", Transfer::Copy);
        return unreadable.error() == "Permission denied" && unwritable.error() == "Permission denied"
            && unprivileged.fileExists(unsearchable + "/a.txt").error() == "Permission denied";
    }));
    EXPECT_EQ(entriesOf(destination), "");
    EXPECT_EQ(entriesOf(readOnly), "");
}

// A drop folder that may be written but not read is flushed through a file placed in it, never through one
// whose transfer failed and which therefore has no name there.
TEST_F(PosixFiles, WriteOnlyDropFolderIsFlushedThroughAPlacedFile)
{
    for (const std::string name : {"a-changes", "b"}) {
        writeFile(source + "/" + name, "x");
        ::chmod((source + "/" + name).c_str(), 0666);
        settleFile(source + "/" + name); // another user's files: no lease, only the settle time
    }
    ::chmod(temp.path().c_str(), 0755);
    ::chmod(destination.c_str(), 0733);

    EXPECT_TRUE(asUnprivilegedUser([&] {
        posix::PosixFileSystem unprivileged(settlingQuickly);
        for (const std::string name : {"a-changes", "b"}) {
            if (!unprivileged.startTransfer(source + "/" + name, destination + "/" + name, Transfer::Copy).ok()) {
                return false;
            }
        }
        const int writer = ::open((source + "/a-changes").c_str(), O_WRONLY | O_APPEND);
        const bool written = ::write(writer, "y", 1) == 1;
        ::close(writer);
        const std::vector<Placed> outcomes = unprivileged.completeBatch();
        return written && outcomes.size() == 2 && !outcomes[0].ok() && outcomes[1].ok();
    }));
    EXPECT_EQ(entriesOf(destination), "b");
}

// Where no lease can be had (another owner's file, no CAP_LEASE), an unpacker or cp -p dates a file it has just
// written back; by its modification time it had rested for years, and it was moved while still being written.
TEST_F(PosixFiles, FileDatedBackRightAfterWritingIsTakenOnlyOnceItsChangeTimeHasSettled)
{
    writeFile(source + "/unpacked", "x");
    const timespec longAgo[2] = {{1'100'000'000, 0}, {1'100'000'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (source + "/unpacked").c_str(), longAgo, 0), 0);
    for (const std::string& folder : {source, destination}) {
        ::chmod(folder.c_str(), 0777);
    }
    ::chmod(temp.path().c_str(), 0755);

    EXPECT_TRUE(asUnprivilegedUser([&] {
        posix::PosixFileSystem unprivileged(settlingQuickly);
        const Status early = transferNow(unprivileged, source + "/unpacked", destination + "/unpacked", Transfer::Move);
        const bool stayed = exists(source + "/unpacked") && !exists(destination + "/unpacked");
        settleFile(source + "/unpacked");
        const Status settled
            = transferNow(unprivileged, source + "/unpacked", destination + "/unpacked", Transfer::Move);
        return early.problem() == Problem::RecentlyChanged && stayed && settled.ok();
    }));
    EXPECT_EQ(entriesOf(source), "");
    EXPECT_EQ(readFile(destination + "/unpacked"), "x");
}

class SecondFileSystem : public PosixFiles
{
protected:
    void SetUp() override
    {
        SKIP_UNLESS_MOUNTED(disk);
    }
};

TEST_F(SecondFileSystem, SourceChangedWhileItsBatchWaitsStaysAndReplacesNothing)
{
    writeFile(source + "/a.txt", "content");
    writeFile(disk.path() + "/a.txt", "older");
    ASSERT_TRUE(files.startTransfer(source + "/a.txt", disk.path() + "/a.txt", Transfer::MoveReplacing).ok());
    writeFile(source + "/a.txt", "content and more");

    const std::vector<Placed> outcomes = files.completeBatch();

    ASSERT_EQ(outcomes.size(), 1U);
    EXPECT_EQ(outcomes[0].error(), "The file changed while it was moved; it stays in the source folder");
    EXPECT_EQ(readFile(source + "/a.txt"), "content and more");
    EXPECT_EQ(entriesOf(disk.path()), "a.txt");
    EXPECT_EQ(readFile(disk.path() + "/a.txt"), "older");
}

// A program that opens the file for writing after it was staged stops the move before anything is placed,
// and need not wait for the batch to open it; so does the source of an interrupted move, waiting in its batch
// like any other.
TEST_F(PosixFiles, SourceOpenedForWritingBeforeItsBatchCompletesStays)
{
    writeFile(destination + "/a.txt", "content");
    for (const auto& [to, how] :
        {std::pair {destination, Transfer::FinishMove}, std::pair {disk.path(), Transfer::Move}}) {
        if (how == Transfer::Move) {
            SKIP_UNLESS_MOUNTED(disk);
        }
        writeFile(source + "/a.txt", "content");
        ASSERT_TRUE(files.startTransfer(source + "/a.txt", to + "/a.txt", how).ok());

        const int writer = ::open((source + "/a.txt").c_str(), O_WRONLY | O_APPEND | O_NONBLOCK);
        EXPECT_GE(writer, 0) << "the writer would wait for the batch: " << std::strerror(errno);
        const std::vector<Placed> outcomes = files.completeBatch();
        ::close(writer);

        ASSERT_EQ(outcomes.size(), 1U);
        EXPECT_EQ(outcomes[0].error(), "Another program has the file open for writing; it is left for a later run");
        EXPECT_EQ(readFile(source + "/a.txt"), "content");
    }
    EXPECT_EQ(entriesOf(disk.path()), "");
    EXPECT_EQ(readFile(destination + "/a.txt"), "content");
}

// A second program on the same source is kept off a file that the first has staged, whether it would move
// or copy it, and once the first has moved it finds it taken, not changed.
TEST_F(SecondFileSystem, FileInAnotherProgramsBatchIsLeftToIt)
{
    writeFile(source + "/a.txt", "content");
    posix::PosixFileSystem other;
    ASSERT_TRUE(files.startTransfer(source + "/a.txt", disk.path() + "/a.txt", Transfer::Move).ok());

    for (const Transfer how : {Transfer::Move, Transfer::Copy}) {
        const Status refused = other.startTransfer(source + "/a.txt", destination + "/a.txt", how);
        EXPECT_EQ(refused.problem(), Problem::LockedByAnother) << refused.error();
    }
    const std::vector<Placed> outcomes = files.completeBatch();
    const Status gone = other.startTransfer(source + "/a.txt", destination + "/a.txt", Transfer::Move);

    ASSERT_EQ(outcomes.size(), 1U);
    EXPECT_TRUE(outcomes[0].ok()) << outcomes[0].error();
    EXPECT_EQ(gone.problem(), Problem::TakenByAnother) << gone.error();
    EXPECT_TRUE(other.completeBatch().empty());
    EXPECT_EQ(readFile(disk.path() + "/a.txt"), "content");
    EXPECT_EQ(entriesOf(destination), "");
}

TEST_F(SecondFileSystem, DriveNamesAreMountPoints)
{
    TmpfsMount endsInABlank(temp.path() + "/disk ", "1m"); // the mount table ends its name in an escape
    SKIP_UNLESS_MOUNTED(endsInABlank);
    posix::PosixDriveTable drives;

    EXPECT_EQ(drives.driveName(endsInABlank.path()).value(), endsInABlank.path());
    EXPECT_EQ(drives.driveName(disk.path()).value(), disk.path());
    EXPECT_EQ(drives.driveName(disk.path() + "/.").value(), disk.path());
    EXPECT_NE(drives.driveName(source).value(), disk.path());
    EXPECT_NE(drives.driveName(temp.folder("mnt 2025")).value(), disk.path()) << "a name as long as the mount's";
    EXPECT_EQ(drives.driveName(temp.path() + "/missing").value(), "");

    const DriveSpace space = drives.freeSpace(disk.path());
    EXPECT_EQ(space.state, DriveSpace::State::Known);
    EXPECT_GT(space.bytes, 0U);
    EXPECT_LE(space.bytes, 1U << 20);
    EXPECT_EQ(drives.freeSpace(source).state, DriveSpace::State::NoDrive);
    EXPECT_EQ(drives.freeSpace("C:").state, DriveSpace::State::NoDrive);
}

// A disk plugged in or taken away during a run counts from the next look at the mounts on.
TEST_F(SecondFileSystem, MountsThatChangeAreSeenWithinTheLookPeriod)
{
    posix::PosixDriveTable drives;
    const std::string later = temp.path() + "/later";
    ASSERT_EQ(drives.freeSpace(disk.path()).state, DriveSpace::State::Known);
    {
        const TmpfsMount mount(later, "1m");
        ASSERT_TRUE(mount.mounted());
        std::this_thread::sleep_for(posix::PosixDriveTable::lookPeriod);

        EXPECT_EQ(drives.freeSpace(later).state, DriveSpace::State::Known);
    }
    std::this_thread::sleep_for(posix::PosixDriveTable::lookPeriod);

    EXPECT_EQ(drives.freeSpace(later).state, DriveSpace::State::NoDrive);
}

// The closer may hold one batch of descriptors only: the next batch's are taken once the previous are
// closed, and what it holds at its end is closed too. A pipe's reader sees the end of its writer's close.
TEST(RemovedSourceCloser, HoldsOneBatchAndClosesEverythingByItsEnd)
{
    struct Batch {
        std::vector<posix::FileDescriptor> readers;
        std::vector<posix::FileDescriptor> writers;
        bool allClosed() const
        {
            char byte = 0;
            return std::all_of(readers.begin(), readers.end(), [&byte](const posix::FileDescriptor& reader) {
                return ::read(reader.get(), &byte, 1) == 0;
            });
        }
    };
    const auto batchOfPipes = [] {
        Batch batch;
        for (int i = 0; i < 300; ++i) {
            int ends[2];
            EXPECT_EQ(::pipe2(ends, O_NONBLOCK | O_CLOEXEC), 0);
            batch.readers.emplace_back(ends[0]);
            batch.writers.emplace_back(ends[1]);
        }
        return batch;
    };
    Batch first = batchOfPipes();
    Batch second = batchOfPipes();
    {
        posix::RemovedSourceCloser closer(3);
        closer.close(std::move(first.writers));
        closer.close(std::move(second.writers));

        EXPECT_TRUE(first.allClosed());
    }
    EXPECT_TRUE(second.allClosed());
}

} // namespace

} // namespace carrovex::testing
