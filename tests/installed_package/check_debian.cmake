# Makes the build's Debian packages and unpacks them into a throwaway root, as apt would install
# them: the README's C example builds there with pkg-config and runs, and so does the tool.
include(${CMAKE_CURRENT_LIST_DIR}/readme_example.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G DEB -B ${WORK_DIR}/packages
                        --config ${BUILD_DIR}/CPackConfig.cmake
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB packages ${WORK_DIR}/packages/*.deb)
set(root ${WORK_DIR}/root)
foreach(package IN LISTS packages)
    execute_process(COMMAND dpkg-deb -x ${package} ${root} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# The stand-in's Win32 names stay in its own folder, out of the system's library search.
file(GLOB stand_ins RELATIVE ${root} ${root}/usr/lib/libgdi32*)
if(stand_ins OR NOT EXISTS ${root}/usr/lib/lorvaxen/libgdi32.so.1)
    message(FATAL_ERROR "the graphics stand-in is not in usr/lib/lorvaxen alone: ${stand_ins}")
endif()

build_readme_example(${root}/usr/lib/pkgconfig ${WORK_DIR})
execute_process(COMMAND ${root}/usr/bin/lorvaxen -o ${WORK_DIR}/tool.png HELLO
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT EXISTS ${WORK_DIR}/tool.png)
    message(FATAL_ERROR "the packaged tool failed (${result}): ${output}")
endif()
