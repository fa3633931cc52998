# Makes the build's Debian packages, has lintian check them (an error or a warning fails), and
# unpacks them into a throwaway root, as apt would install them: the README's C example builds
# there with pkg-config through that root as a sysroot and runs, and so does the tool.
include(${CMAKE_CURRENT_LIST_DIR}/readme_example.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G DEB -B ${WORK_DIR}/packages
                        --config ${BUILD_DIR}/CPackConfig.cmake
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB packages ${WORK_DIR}/packages/*.deb)

execute_process(COMMAND ${LINTIAN} --fail-on error,warning --tag-display-limit 0
                        ${packages}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lintian found faults in the packages (${result}):\n${output}")
endif()

set(root ${WORK_DIR}/root)
foreach(package IN LISTS packages)
    # Nothing is left in the "rc" state after apt-get remove: no package has a configuration
    # file or a postrm that a purge would still have to run.
    execute_process(COMMAND dpkg-deb --ctrl-tarfile ${package} COMMAND tar -t
                    OUTPUT_VARIABLE control COMMAND_ERROR_IS_FATAL ANY)
    if(control MATCHES "(conffiles|postrm)")
        message(FATAL_ERROR "${package} would stay configured after removal: ${control}")
    endif()
    execute_process(COMMAND dpkg-deb -x ${package} ${root} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# The stand-in's Win32 names stay in its own folder, out of the system's library search.
file(GLOB stand_ins RELATIVE ${root} ${root}/usr/${LIBDIR}/libgdi32*)
if(stand_ins OR NOT EXISTS ${root}/usr/${LIBDIR}/lorvaxen/libgdi32.so.1)
    message(FATAL_ERROR "the graphics stand-in is not in usr/${LIBDIR}/lorvaxen alone: "
                        "${stand_ins}")
endif()

# Mendova's menu entry is valid.
set(entry ${root}/usr/share/applications/mendova.desktop)
if(EXISTS ${entry})
    execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${entry}
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0 OR output)
        message(FATAL_ERROR "desktop-file-validate on mendova.desktop (${result}): ${output}")
    endif()
endif()

build_readme_example(${root}/usr/${LIBDIR}/pkgconfig ${WORK_DIR} ${root})
execute_process(COMMAND ${root}/usr/bin/lorvaxen -o ${WORK_DIR}/tool.png HELLO
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT EXISTS ${WORK_DIR}/tool.png)
    message(FATAL_ERROR "the packaged tool failed (${result}): ${output}")
endif()

# The packaged Python module imports from the unpacked root and makes a label.
if(EXISTS ${root}/usr/lib/python3/dist-packages/lorvaxen.pyi)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env
                            PYTHONPATH=${root}/usr/lib/python3/dist-packages /usr/bin/python3 -c
                            "import lorvaxen; assert lorvaxen.make('HELLO').to_png()[:4] == b'\\x89PNG'"
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "the packaged Python module failed (${result}): ${output}")
    endif()
endif()
