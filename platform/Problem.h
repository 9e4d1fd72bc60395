#pragma once

namespace carrovex
{

// Failures that the platform finds itself, rather than the system reporting them. Their wording is the
// program's own: the log shows them in the user's language, and in this English where a language file
// lacks them.
enum class Problem {
    NotRegularFile,
    ChangedWhileCopied,
    ChangedWhileMoved,
    CopyGone,
    CopyChanged,
    NameRefused,
    OpenForWriting,
    RecentlyChanged,
    LockedByAnother,
    TakenByAnother,
    TakenLeavingCopy,
    DestinationDiskChanged,
    NumberedNameTooLong,
};

constexpr const char* englishText(Problem problem)
{
    switch (problem) {
    case Problem::NotRegularFile:
        return "Not a regular file";
    case Problem::ChangedWhileCopied:
        return "The file changed while it was copied";
    case Problem::ChangedWhileMoved:
        return "The file changed while it was moved; it stays in the source folder";
    case Problem::CopyGone:
        return "The copy in the destination folder is gone; the file stays in the source folder";
    case Problem::CopyChanged:
        return "The copy in the destination folder changed; the file stays in the source folder";
    case Problem::NameRefused:
        return "The destination file system does not accept this file name";
    case Problem::OpenForWriting:
        return "Another program has the file open for writing; it is left for a later run";
    case Problem::RecentlyChanged:
        return "The file changed within the settle time (SettleSeconds) and may still be written; it is left for a "
               "later run";
    case Problem::LockedByAnother:
        return "Another program is transferring the file or holds a lock on it; it is left for a later run";
    case Problem::TakenByAnother:
        return "The file was taken from the source folder by another program";
    case Problem::TakenLeavingCopy:
        return "The file was taken from the source folder by another program; its copy stays in the destination "
               "folder";
    case Problem::DestinationDiskChanged:
        return "The destination folder's disk was unmounted or removed during the run, which ends here; files "
               "whose copies cannot be confirmed stay in the source folder";
    case Problem::NumberedNameTooLong:
        return "The name is taken in the destination folder, and with a number added it would be longer than "
               "that folder's file system allows; the file stays in the source folder";
    }
    return "";
}

} // namespace carrovex
