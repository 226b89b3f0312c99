# `cmake --install` of the udev component alone: the rule, and only the rule, lands in
# <prefix>/lib/udev/rules.d, byte for byte. Run with -D BUILD_DIR= -D WORK_DIR= -D RULE=.
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(
    COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --component udev --prefix "${WORK_DIR}/usr/local"
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${WORK_DIR}" "${WORK_DIR}/*")
if(NOT installed STREQUAL "usr/local/lib/udev/rules.d/60-stepctl.rules")
    message(FATAL_ERROR "installed files: ${installed}")
endif()
file(READ "${RULE}" expected)
file(READ "${WORK_DIR}/${installed}" actual)
if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "the installed rule differs from ${RULE}")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
