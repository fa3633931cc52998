# build_readme_example(PKG_CONFIG_DIR WORK_DIR [SYSROOT]): builds the README's C example as the
# README says, "cc main.c $(pkg-config --cflags --libs lorvaxen)", against the lorvaxen.pc in
# PKG_CONFIG_DIR (under SYSROOT, as a cross-compiler's pkg-config finds a target's files), runs it
# and checks what it prints. Needs SOURCE_DIR, CC, PKG_CONFIG and CLIENT_FLAGS.
function(build_readme_example pkg_config_dir work_dir)
    set(sysroot "${ARGV2}")
    set(pkg_config ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pkg_config_dir}
                   PKG_CONFIG_SYSROOT_DIR=${sysroot} ${PKG_CONFIG})
    file(READ ${SOURCE_DIR}/README.md readme)
    if(NOT readme MATCHES "## Using the library\n\n```c\n([^`]*)```")
        message(FATAL_ERROR "no C example under \"Using the library\" in README.md")
    endif()
    file(WRITE ${work_dir}/main.c "${CMAKE_MATCH_1}")
    execute_process(COMMAND ${pkg_config} --cflags --libs lorvaxen
                    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags} ${CLIENT_FLAGS}")
    execute_process(COMMAND ${CC} main.c ${flags} -o main WORKING_DIRECTORY ${work_dir}
                    COMMAND_ERROR_IS_FATAL ANY)
    # Outside the system's folders the loader is told where the libraries are, as a user tells
    # it; in place, the graphics stand-in in its folder below is found by the program's run path.
    foreach(variable IN ITEMS libdir gdilibdir)
        execute_process(COMMAND ${pkg_config} --variable=${variable} lorvaxen
                        OUTPUT_VARIABLE ${variable} OUTPUT_STRIP_TRAILING_WHITESPACE
                        COMMAND_ERROR_IS_FATAL ANY)
        # pkgconf leaves a sysroot out of --variable's answer.
        string(FIND "${${variable}}" "${sysroot}" at)
        if(NOT at EQUAL 0)
            set(${variable} ${sysroot}${${variable}})
        endif()
    endforeach()
    execute_process(COMMAND ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${libdir}:${gdilibdir}
                            ${work_dir}/main
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    # Code 39's check character of ABC: (10 + 11 + 12) modulo 43 is 33, the letter X.
    if(NOT result EQUAL 0 OR NOT output MATCHES "^0 \\*ABCX\\* [0-9]+ x [0-9]+\n$")
        message(FATAL_ERROR "the README's example built with pkg-config failed (${result}): "
                            "${output}")
    endif()
endfunction()
