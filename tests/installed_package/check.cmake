# Installs the build into a scratch prefix, then builds two clients of it: a project that finds
# the library with find_package(Lorvaxen), and the README's C example with pkg-config.
include(${CMAKE_CURRENT_LIST_DIR}/readme_example.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/installed_package
                        -B ${WORK_DIR}/client -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix
                        "-DCMAKE_CXX_FLAGS=${CLIENT_FLAGS}"
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/client
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${WORK_DIR}/client/client RESULT_VARIABLE result OUTPUT_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output MATCHES "\\*HELLO\\*")
    message(FATAL_ERROR "the client of the installed library failed (${result}): ${output}")
endif()

build_readme_example(${WORK_DIR}/prefix/${LIBDIR}/pkgconfig ${WORK_DIR})

# The tool as installed: it finds its graphics stand-in by its run path from any prefix, and its
# manual lies in share/man, where man looks beside a bin folder on PATH (~/.local/bin included).
execute_process(COMMAND ${WORK_DIR}/prefix/bin/lorvaxen --version
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output MATCHES "^lorvaxen ")
    message(FATAL_ERROR "the installed tool does not run (${result}): ${output}")
endif()
if(NOT EXISTS ${WORK_DIR}/prefix/share/man/man1/lorvaxen.1.gz)
    message(FATAL_ERROR "the installed tool's manual is not in share/man/man1")
endif()
