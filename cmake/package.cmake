# The package a Windows user downloads: Trellith-1.5-win32.zip, unzipped and run where it lands.
# Trellith.exe, Trellith.dll, and docs/ with the user's guide and its pictures (the About box's
# link opens that folder).
set(GUIDE ${CMAKE_BINARY_DIR}/package/README.txt)
add_custom_command(OUTPUT ${GUIDE}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/guide_text.py ${CMAKE_SOURCE_DIR}/README.md ${GUIDE}
    DEPENDS ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/tools/guide_text.py)
add_custom_target(guide ALL DEPENDS ${GUIDE})

install(TARGETS Trellith RUNTIME DESTINATION .)
install(TARGETS TrellithModule RUNTIME DESTINATION . LIBRARY DESTINATION .)
install(FILES ${GUIDE} DESTINATION docs)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/images DESTINATION docs)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Trellith)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(CPACK_SYSTEM_NAME win32)
else()
    set(CPACK_SYSTEM_NAME win64)  # the test build of the same sources, for 64-bit-only Wine
endif()
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
