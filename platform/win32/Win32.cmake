enable_language(RC)

# The platform services on Windows: wide calls only, UTF-8 at the edge.
add_library(carrovex_win32 STATIC
    platform/win32/ArrivalWatch.cpp
    platform/win32/FileHandles.cpp
    platform/win32/FolderLayout.cpp
    platform/win32/ProgramFolder.cpp
    platform/win32/SingleInstance.cpp
    platform/win32/StagedCopy.cpp
    platform/win32/SystemError.cpp
    platform/win32/TransferBatch.cpp
    platform/win32/WidePath.cpp
    platform/win32/WideText.cpp
    platform/win32/Win32Clock.cpp
    platform/win32/Win32DriveTable.cpp
    platform/win32/Win32FileSystem.cpp
    platform/win32/Win32NumberFormat.cpp
    platform/win32/Win32TextFiles.cpp)
target_compile_definitions(carrovex_win32 PUBLIC UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN)
target_link_libraries(carrovex_win32 PUBLIC carrovex_options carrovex_platform_common shell32 ole32 uuid)

# The windows on native Win32 controls (common controls 6 through the programs' manifest).
add_library(carrovex_win32_window STATIC
    platform/win32/AccessibleName.cpp
    platform/win32/DialogWindow.cpp
    platform/win32/FolderDialog.cpp
    platform/win32/LogListBox.cpp
    platform/win32/TwipsPlacement.cpp
    platform/win32/Win32MainWindow.cpp
    platform/win32/Win32MainWindowControls.cpp
    platform/win32/Win32MainWindowDesktop.cpp
    platform/win32/Win32OptionsDialog.cpp
    platform/win32/WindowText.cpp)
target_link_libraries(carrovex_win32_window PUBLIC carrovex_win32 carrovex_platform_common comctl32 ole32 uuid)

# The programs: the window, and the console program with its terminal. Each carries the icon, the
# manifest and its version.
function(add_windows_program target kind main)
    add_executable(${target} ${kind} ${main} app/carrovex.rc)
    target_compile_definitions(${target} PRIVATE CARROVEX_PROGRAM=${target}
        CARROVEX_VERSION_MAJOR=${PROJECT_VERSION_MAJOR} CARROVEX_VERSION_MINOR=${PROJECT_VERSION_MINOR})
    target_link_options(${target} PRIVATE -municode)
    copy_languages_beside(${target})
endfunction()

add_windows_program(carrovex WIN32 app/Win32Main.cpp)
target_compile_definitions(carrovex PRIVATE CARROVEX_VERSION="${PROJECT_VERSION}")
target_link_libraries(carrovex PRIVATE carrovex_logic carrovex_win32_window)

add_library(carrovex_win32_console STATIC platform/win32/ConsoleTerminal.cpp platform/win32/ConsoleText.cpp)
target_link_libraries(carrovex_win32_console PUBLIC carrovex_win32 carrovex_platform_common)
add_windows_program(carrovex-console "" app/Win32ConsoleMain.cpp)
target_link_libraries(carrovex-console PRIVATE carrovex_console carrovex_win32_console)
