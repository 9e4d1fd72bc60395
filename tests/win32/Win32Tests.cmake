# The Win32 services on real folders, which Wine maps onto the Linux disk, and a tmpfs mounted for a
# second volume and a full disk (root only).
add_executable(win32_tests
    win32/FolderLayoutTest.cpp
    win32/RegionalTest.cpp
    win32/SingleInstanceTest.cpp
    DiskHelpers.cpp
    win32/WinDisk.cpp
    win32/Win32DriveTableTest.cpp
    win32/Win32FileSystemTest.cpp
    win32/Win32TextFilesTest.cpp)
target_link_libraries(win32_tests PRIVATE carrovex_logic carrovex_model carrovex_win32_console GTest::gtest_main
    GTest::gmock)
# The user's regional settings and language come from the locale Wine is started with. Wine takes German
# from LC_ALL even where that locale is not installed, but its file names are then ASCII only: the German
# tests use no other names. A Wine program started in another locale than the last one writes that
# locale's formats into the user's registry, which every Wine program of the Wine folder reads: the German
# tests run alone.
gtest_discover_tests(win32_tests TEST_FILTER "-*German*" DISCOVERY_TIMEOUT ${CARROVEX_DISCOVERY_TIMEOUT}
    PROPERTIES ENVIRONMENT LC_ALL=C.UTF-8)
gtest_discover_tests(win32_tests TEST_FILTER "*German*" DISCOVERY_TIMEOUT ${CARROVEX_DISCOVERY_TIMEOUT}
    PROPERTIES ENVIRONMENT LC_ALL=de_DE.UTF-8 RUN_SERIAL TRUE)

# The windows on real controls without a display: Wine's null graphics driver draws nothing but keeps
# every window, control, timer and dialog working. All windows of a Wine folder share one desktop, where a
# window of a test beside another takes the focus and the activation, and cross-process messages between
# two of them have deadlocked: tests that show windows run alone.
add_executable(win32_window_tests
    win32/WindowProbe.cpp
    win32/WindowTestMain.cpp
    win32/WindowTests.rc
    DiskHelpers.cpp
    win32/WinDisk.cpp
    win32/Win32DialogsTest.cpp
    win32/Win32WindowEventsTest.cpp
    win32/Win32WindowTest.cpp)
target_link_libraries(win32_window_tests PRIVATE carrovex_logic carrovex_model carrovex_fakes carrovex_win32_window
    GTest::gmock)
target_compile_definitions(win32_window_tests PRIVATE CARROVEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
gtest_discover_tests(win32_window_tests DISCOVERY_TIMEOUT ${CARROVEX_DISCOVERY_TIMEOUT}
    PROPERTIES ENVIRONMENT LC_ALL=C.UTF-8 RUN_SERIAL TRUE)

# The programs run as child processes, as a user runs them.
add_executable(win32_console_tests DiskHelpers.cpp win32/WinDisk.cpp win32/WinProgramRun.cpp win32/Win32ConsoleProgramTest.cpp)
target_link_libraries(win32_console_tests PRIVATE carrovex_win32_console GTest::gtest_main GTest::gmock)
add_dependencies(win32_console_tests carrovex-console carrovex)
gtest_discover_tests(win32_console_tests TEST_FILTER "-*UnderAConsole*:WindowProgram.*"
    DISCOVERY_TIMEOUT ${CARROVEX_DISCOVERY_TIMEOUT} PROPERTIES ENVIRONMENT LC_ALL=C.UTF-8)
gtest_discover_tests(win32_console_tests TEST_FILTER "WindowProgram.*" DISCOVERY_TIMEOUT ${CARROVEX_DISCOVERY_TIMEOUT}
    PROPERTIES ENVIRONMENT LC_ALL=C.UTF-8 RUN_SERIAL TRUE)
# Ctrl+C and Ctrl+Break need a console, which Wine makes for a program started on a terminal: script(1)
# gives the tests one.
find_program(CARROVEX_SCRIPT script REQUIRED)
add_test(NAME win32_console_stop
    COMMAND ${CARROVEX_SCRIPT} -qec "${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:win32_console_tests> --gtest_filter=*UnderAConsole*" /dev/null)
set_tests_properties(win32_console_stop PROPERTIES ENVIRONMENT LC_ALL=C.UTF-8)
