#pragma once

#include "platform/Problem.h"

#include <initializer_list>
#include <string>

namespace carrovex
{

class IniStore;

// The texts that came after t44, by their key. A language file written for the older set of keys lacks
// them; it then gets the English text, so that it keeps working (the cancel line is built from the file's
// own older words instead, see cancelLine).
enum class LaterText {
    ErrorsInLog = 45, // caption mark and notification title: "Errors in the log"
    ShowWindow = 46, // tray menu entry
    SendToTray = 47, // options dialog check box
    About = 48, // options dialog button; without its "&" the About box's title
    Version = 49, // About box: "Version %1"
    Licence = 50, // About box: "Licence: %1"
    SaveFailed = 51, // "The settings could not be saved in %1: %2"
    DestinationInSource = 52, // Start refused
    PlatformLanguage = 53, // the language's code for the platform's own texts ("de")
    CancelledCopy = 54, // cancel line: "Cancelled: Copied %1 %2" (number, file word)
    CancelledMove = 55,
    AlreadyRunning = 56, // "Carrovex already runs with the settings in %1."
    StoppingAfterFile = 57, // console messages from here on
    NoSettingsFile = 58,
    UnreadableSettings = 59,
    NoFolderSet = 60,
    NoSuchFolder = 61,
    UnusableFolders = 62,
    UnknownAction = 63,
    NotRegularFile = 64, // the failures that the platform finds itself (problemText maps them)
    ChangedWhileCopied = 65,
    ChangedWhileMoved = 66,
    CopyGone = 67,
    CopyChanged = 68,
    NameRefused = 69,
    OpenForWriting = 70,
    RecentlyChanged = 71,
    OutcomeUnknown = 72, // a transfer the file system gave no outcome for
    LockedByAnother = 73,
    TakenByAnother = 74,
    TakenLeavingCopy = 75,
    NotTheDiskItWas = 76, // a run refused: "The destination folder %1 is not on the disk it was on ..."
    DestinationDiskChanged = 77,
    AnyDestinationDisk = 78, // options dialog check box
    DiskNotRemembered = 79, // "The destination's disk could not be remembered in %1: %2 ..."
    KeepBoth = 80, // options dialog check box
    KeptAs = 81, // in the outcome line of a file placed under a numbered name: "name taken, kept as %1"
    NumberedNameTooLong = 82,
    OpenLogFile = 83, // tray menu and log menu entry
    LogFileFailed = 84, // "The log file %1 cannot be written: %2 ..."
    LogFileNotOpened = 85, // "The log file %1 could not be opened."
    RunOnArrival = 86, // options dialog check box
    WaitingForFiles = 87, // countdown caption: "waiting for files,"
    CannotWatchSource = 88, // "The source folder %1 cannot be watched for arriving files (%2) ..."
    NoSourceFolder = 89, // why Start is not usable, on the button and the field
    NoDestinationFolder = 90,
    BrowseSourceName = 91, // what the "..." buttons do, for their tip and a screen reader
    BrowseDestinationName = 92,
    FileProgress = 93, // a large file's progress: "%1 %, %2 of %3 MiB"
};

inline constexpr int firstLaterText = 45;
inline constexpr int lastLaterText = 93;

// The key's text in the active language, or its English text where the language's files lack it.
std::string laterText(const IniStore& ini, LaterText key);

// A failure that the platform found, in the user's language.
std::string problemText(const IniStore& ini, Problem problem);

// The text with %1, %2, ... replaced by the arguments in order; the arguments themselves are not searched.
std::string withArguments(const std::string& text, std::initializer_list<std::string> arguments);

} // namespace carrovex
