#pragma once

#include "platform/Result.h"

#include <string>

namespace carrovex
{

struct MainForm;

// The disk that the destination folder was on when a run last placed a file there. A disk that is not
// mounted leaves its mount point behind as an empty folder on the disk above it: files moved there would
// be hidden once the disk is back, and would fill that disk instead.

// The destination folder's disk now, as the settings file keeps it.
Result<std::string> destinationDiskNow(MainForm& form, const std::string& folder);

// Whether a run may transfer onto the disk: nothing is remembered, or it is the remembered disk, or, with
// "AnyDestinationDisk" on, any disk except the one that an unmounted disk's mount point lies on.
bool isTheDiskItWas(const MainForm& form, const std::string& now);

// Kept in the process, and in the settings file where it can be written; a failure says why it could not.
Status rememberDestinationDisk(MainForm& form, const std::string& now);

// A destination that the user chose anew: the next run that places a file remembers its disk.
void forgetDestinationDisk(MainForm& form);

} // namespace carrovex
