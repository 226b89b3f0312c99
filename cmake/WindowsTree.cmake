# What the Windows tree needs that Debian's packages give only for Linux: the header-only CLI11
# and nlohmann-json (their CMake targets add -isystem /usr/include, which breaks mingw, so they
# get a folder that holds only their headers), GoogleTest built from Debian's sources, and wine
# to run what was built.

set(windows_headers ${CMAKE_BINARY_DIR}/third-party-include)
file(MAKE_DIRECTORY ${windows_headers})
foreach(dir CLI nlohmann)
    if(NOT EXISTS ${windows_headers}/${dir})
        file(CREATE_LINK /usr/include/${dir} ${windows_headers}/${dir} SYMBOLIC)
    endif()
endforeach()
add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${windows_headers})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${windows_headers})

# wine with a prefix, home and data folders of the build tree's own, quiet, with no menu
# entries or Mono/Gecko prompts.
set(STEPCTL_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine/prefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
# Tests are listed when ctest runs, so that building needs no wine.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

if(BUILD_TESTING)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # GoogleTest's own sources are not held to this project's warnings.
    target_compile_options(gtest PRIVATE -w)
    target_compile_options(gtest_main PRIVATE -w)  # (it names its GTest:: aliases itself)
endif()
