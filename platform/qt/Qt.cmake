find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)
# The Qt binding of the window services.
add_library(carrovex_qt STATIC
    platform/qt/EventsDuring.cpp
    platform/qt/LogAccessible.cpp
    platform/qt/LogView.cpp
    platform/qt/QtMainWindow.cpp
    platform/qt/QtMainWindowControls.cpp
    platform/qt/QtMainWindowDesktop.cpp
    platform/qt/QtOptionsDialog.cpp
    platform/qt/ToolTipText.cpp
    platform/qt/TwipsLayout.cpp
    platform/qt/WidgetText.cpp)
target_link_libraries(carrovex_qt PUBLIC carrovex_options carrovex_platform_common carrovex_posix Qt6::Widgets)
target_compile_definitions(carrovex_qt PUBLIC QT_NO_CAST_FROM_ASCII)

add_executable(carrovex app/main.cpp app/carrovex.qrc)
target_compile_definitions(carrovex PRIVATE CARROVEX_VERSION="${PROJECT_VERSION}")
target_link_libraries(carrovex PRIVATE carrovex_logic carrovex_posix carrovex_qt)
copy_languages_beside(carrovex)
