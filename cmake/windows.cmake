# The Windows build: Trellith.exe, Trellith.dll and the Windows-side tests, run by ctest
# through Wine (the toolchain file names scripts/wine-exec as the emulator).
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

# Narrow literals in code page 936; no exceptions, no RTTI, no iostream: the program stays small.
set(TRELLITH_FLAGS -finput-charset=UTF-8 -fexec-charset=GBK -fno-exceptions -fno-rtti -fno-threadsafe-statics
    -Wall -Wextra -Wno-unused-parameter -Wno-cast-function-type)
# Nothing throws, so the 32-bit build needs no unwind tables (a fifth of the program's size); the
# 64-bit system unwinds through its functions' tables on every fault, so that build keeps them.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    list(APPEND TRELLITH_FLAGS -fno-asynchronous-unwind-tables -fno-unwind-tables)
endif()
set(TRELLITH_LINK -static -Wl,--gc-sections)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(IMAGE_DIR ${CMAKE_BINARY_DIR}/images)
set(IMAGES ${IMAGE_DIR}/desktop0.ico ${IMAGE_DIR}/desktop1.ico ${IMAGE_DIR}/desktop2.ico
    ${IMAGE_DIR}/desktop3.ico ${IMAGE_DIR}/hand.cur)
add_custom_command(OUTPUT ${IMAGES}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/make_images.py ${IMAGE_DIR}
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_images.py
    COMMENT "Drawing the icons and the hand cursor")
add_custom_target(images DEPENDS ${IMAGES})
set_source_files_properties(src/res/trellith.rc PROPERTIES OBJECT_DEPENDS "${IMAGES}")

# Everything of the program but its entry, so that tests can run it in their own process.
add_library(trellith_core STATIC
    ${PORTABLE_PROGRAM_SOURCES}
    src/app/app_main.cpp src/app/app_state.cpp src/app/seams.cpp src/app/wide_text.cpp
    src/companion/companion.cpp
    src/desktops/desktops.cpp src/desktops/followed_windows.cpp src/desktops/recovery_file.cpp
    src/desktops/showing.cpp
    src/desktops/window_look.cpp src/desktops/window_requests.cpp
    src/schemes/scheme_file.cpp
    src/scheduler/tick.cpp src/scheduler/countdown_dialog.cpp
    src/settings/autorun.cpp src/settings/settings_dialog.cpp
    src/tray/desktop_keys.cpp src/tray/main_window.cpp src/tray/popup_menu.cpp src/tray/tray_icon.cpp
    src/tray/window_list.cpp
    src/ui/about_dialog.cpp src/ui/owner_draw.cpp)
target_compile_options(trellith_core PRIVATE ${TRELLITH_FLAGS} -Os -ffunction-sections)
# The common controls and the multimedia library are loaded when first needed (a countdown, the
# CD-ROM door): importing them would load them at every start.
target_link_libraries(trellith_core PUBLIC shell32 user32 gdi32 advapi32)

add_executable(Trellith WIN32 src/app/main.cpp src/res/trellith.rc)
add_dependencies(Trellith images)
target_include_directories(Trellith PRIVATE ${IMAGE_DIR} src/res)
target_compile_options(Trellith PRIVATE ${TRELLITH_FLAGS} -Os)
target_link_libraries(Trellith PRIVATE trellith_core)
# The program always loads at its own base (NT 4, 2000 and XP move no program; only later systems
# would, where address randomisation asks for it): its relocations, a twentieth of it, stay out.
target_link_options(Trellith PRIVATE ${TRELLITH_LINK} -s -Wl,--disable-dynamicbase,--disable-reloc-section)

add_library(TrellithModule SHARED src/dll/trellith_dll.cpp ${PORTABLE_MODULE_SOURCES} src/dll/trellith_dll.rc)
set_target_properties(TrellithModule PROPERTIES OUTPUT_NAME Trellith PREFIX "")
target_compile_options(TrellithModule PRIVATE ${TRELLITH_FLAGS} -Os)
target_link_options(TrellithModule PRIVATE ${TRELLITH_LINK} -s)

if(TRELLITH_TESTS)
    add_subdirectory(tests/win)
endif()
include(cmake/package.cmake)
