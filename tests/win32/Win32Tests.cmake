# The Win32 services on real folders, which Wine maps onto the Linux disk, and a tmpfs mounted for a
# second volume and a full disk (root only).
add_executable(win32_tests
    win32/FolderLayoutTest.cpp
    win32/RegionalTest.cpp
    win32/SingleInstanceTest.cpp
    win32/WideTextTest.cpp
    win32/WinDisk.cpp
    win32/Win32DriveTableTest.cpp
    win32/Win32FileSystemTest.cpp
    win32/Win32TextFilesTest.cpp
    win32/Win32TransferRunTest.cpp)
target_link_libraries(win32_tests PRIVATE carrovex_logic carrovex_model carrovex_win32 GTest::gtest_main GTest::gmock)
# The user's regional settings and language come from the locale Wine is started with. Wine takes German
# from LC_ALL even where that locale is not installed, but its file names are then ASCII only: the German
# tests use no other names.
gtest_discover_tests(win32_tests TEST_FILTER "-*German*" DISCOVERY_TIMEOUT ${CARROVEX_DISCOVERY_TIMEOUT}
    PROPERTIES ENVIRONMENT LC_ALL=C.UTF-8)
gtest_discover_tests(win32_tests TEST_FILTER "*German*" DISCOVERY_TIMEOUT ${CARROVEX_DISCOVERY_TIMEOUT}
    PROPERTIES ENVIRONMENT LC_ALL=de_DE.UTF-8)

# The windows on real controls without a display: Wine's null graphics driver draws nothing but keeps
# every window, control, timer and dialog working.
add_executable(win32_window_tests
    win32/WindowProbe.cpp
    win32/WindowTestMain.cpp
    win32/WindowTests.rc
    win32/WinDisk.cpp
    win32/Win32DesktopTest.cpp
    win32/Win32DialogsTest.cpp
    win32/Win32LogTest.cpp
    win32/Win32WindowEventsTest.cpp
    win32/Win32WindowTest.cpp)
target_link_libraries(win32_window_tests PRIVATE carrovex_logic carrovex_model carrovex_fakes carrovex_win32_window
    GTest::gmock)
target_compile_definitions(win32_window_tests PRIVATE CARROVEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
gtest_discover_tests(win32_window_tests DISCOVERY_TIMEOUT ${CARROVEX_DISCOVERY_TIMEOUT}
    PROPERTIES ENVIRONMENT LC_ALL=C.UTF-8)

