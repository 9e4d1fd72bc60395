#include "engine/DestinationDisk.h"

#include "form/MainForm.h"
#include "platform/DriveTable.h"
#include "store/IniStore.h"

namespace carrovex
{

namespace
{

constexpr const char* diskKey = "DestinationDisk";

std::string remembered(const MainForm& form)
{
    return form.destinationDisk ? *form.destinationDisk : form.ini.ReadWholeIniValue("Options", diskKey, "");
}

// The file system's word comes first and holds no blank.
std::string mountPointOf(const std::string& disk)
{
    const auto blank = disk.find(' ');
    return blank == std::string::npos ? std::string() : disk.substr(blank + 1);
}

Status keep(MainForm& form, const std::string& disk)
{
    form.destinationDisk = disk;
    return form.ini.WriteIniValues("Options", {{diskKey, disk}});
}

} // namespace

Result<std::string> destinationDiskNow(MainForm& form, const std::string& folder)
{
    const Result<DiskIdentity> disk = form.drives.diskIdentity(folder);
    if (!disk.ok()) {
        return Result<std::string>::failure(disk.error());
    }
    return disk.value().fileSystem + " " + disk.value().mountPoint;
}

bool isTheDiskItWas(const MainForm& form, const std::string& now)
{
    const std::string before = remembered(form);
    if (before.empty() || before == now) {
        return true;
    }
    // Both mount points hold the same folder, so the shorter lies above the other: a shorter one now is the
    // disk above the remembered disk's mount point.
    return isOn(form.ini, anyDestinationDisk) && mountPointOf(now).size() >= mountPointOf(before).size();
}

Status rememberDestinationDisk(MainForm& form, const std::string& now)
{
    return remembered(form) != now ? keep(form, now) : Status();
}

void forgetDestinationDisk(MainForm& form)
{
    if (!remembered(form).empty()) {
        static_cast<void>(keep(form, "")); // the next run that places a file says so where it cannot write
    }
}

} // namespace carrovex
