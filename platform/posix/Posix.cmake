# The platform services on a POSIX system.
add_library(carrovex_posix STATIC
    platform/posix/ArrivalWatch.cpp
    platform/posix/ConsoleText.cpp
    platform/posix/FileCopy.cpp
    platform/posix/FileDescriptor.cpp
    platform/posix/FileUse.cpp
    platform/posix/FolderLayout.cpp
    platform/posix/LeavingSource.cpp
    platform/posix/OtherWriters.cpp
    platform/posix/PosixClock.cpp
    platform/posix/PosixDriveTable.cpp
    platform/posix/PosixFileSystem.cpp
    platform/posix/PosixNumberFormat.cpp
    platform/posix/PosixTerminal.cpp
    platform/posix/PosixTextFiles.cpp
    platform/posix/ProgramFolder.cpp
    platform/posix/EarlyWriteback.cpp
    platform/posix/RemovedSourceCloser.cpp
    platform/posix/SingleInstance.cpp
    platform/posix/SourceLock.cpp
    platform/posix/StopSignals.cpp
    platform/posix/SystemError.cpp
    platform/posix/TerminalQuestion.cpp
    platform/posix/TransferBatch.cpp)
target_link_libraries(carrovex_posix PUBLIC carrovex_options carrovex_platform_common)
# An installed program finds its languages by this path from its own folder, whatever the prefix.
file(RELATIVE_PATH CARROVEX_LANGUAGES_FROM_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
    ${CMAKE_INSTALL_FULL_DATADIR}/carrovex/lang)
target_compile_definitions(carrovex_posix PUBLIC CARROVEX_LANGUAGES_FROM_PROGRAM="${CARROVEX_LANGUAGES_FROM_PROGRAM}")

# The program for machines without a desktop.
add_executable(carrovex-console app/ConsoleMain.cpp)
target_link_libraries(carrovex-console PRIVATE carrovex_console carrovex_posix)
copy_languages_beside(carrovex-console)
