# Makes the build's Windows zip, unpacks it and builds two C clients with what it holds: one with
# MinGW's compiler and Lorvaxen.dll.a, one linked by lld-link with Lorvaxen.lib, as Microsoft's
# linker links it. Each runs under Wine beside the zip's DLL and must print its result.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -DCLIENT=package_client.c -DCC=... -DCLANG=...
#         -DLLD_LINK=... -DTRIPLE=... -DRUN_UNDER_WINE=... -DPREFIXES=... -P this
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G ZIP -B ${WORK_DIR}
                        --config ${BUILD_DIR}/CPackConfig.cmake
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB zip ${WORK_DIR}/*.zip)
file(ARCHIVE_EXTRACT INPUT ${zip} DESTINATION ${WORK_DIR}/unpacked)
file(GLOB root LIST_DIRECTORIES true ${WORK_DIR}/unpacked/*)
foreach(file LICENSE README-Windows.txt bin/Lorvaxen.dll bin/Mendova.exe include/Lorvaxen.h
             lib/Lorvaxen.def lib/Lorvaxen.dll.a lib/Lorvaxen.lib
             lib/cmake/Lorvaxen/LorvaxenConfig.cmake)
    if(NOT EXISTS ${root}/${file})
        message(FATAL_ERROR "the zip lacks ${file}")
    endif()
endforeach()

# README-Windows.txt keeps Windows line ends, and names every file of the zip (or its folder).
# (file(READ) drops carriage returns, so the bytes are read as hexadecimal pairs.)
file(READ ${root}/README-Windows.txt bytes HEX)
string(REGEX REPLACE "(..)" "\\1 " bytes "${bytes}")
string(REGEX MATCHALL "0a " line_feeds "${bytes}")
string(REGEX MATCHALL "0d 0a " line_ends "${bytes}")
list(LENGTH line_feeds line_feeds)
list(LENGTH line_ends line_ends)
if(line_feeds EQUAL 0 OR NOT line_ends EQUAL line_feeds)
    message(FATAL_ERROR "README-Windows.txt: ${line_ends} of ${line_feeds} lines end in CR LF")
endif()
file(READ ${root}/README-Windows.txt readme)
file(GLOB_RECURSE contents RELATIVE ${root} ${root}/*)
foreach(file IN LISTS contents)
    get_filename_component(folder ${file} DIRECTORY)
    string(FIND "${readme}" "  ${file} " named)
    string(FIND "${readme}" "  ${folder}/ " folder_named)
    if(named EQUAL -1 AND (folder STREQUAL "" OR folder_named EQUAL -1))
        message(FATAL_ERROR "README-Windows.txt does not list ${file}")
    endif()
endforeach()

set(system_libraries gdi32 user32 kernel32)
set(mingw ${root}/bin/mingw-client.exe)
list(TRANSFORM system_libraries PREPEND -l OUTPUT_VARIABLE flags)
execute_process(COMMAND ${CC} -I${root}/include ${CLIENT} ${root}/lib/Lorvaxen.dll.a ${flags}
                        -static-libgcc -o ${mingw} COMMAND_ERROR_IS_FATAL ANY)

set(msvc ${root}/bin/msvc-client.exe)
list(TRANSFORM system_libraries REPLACE "(.+)" "lib\\1.a" OUTPUT_VARIABLE archives)
set(safe_exception_handlers "")
if(TRIPLE MATCHES "^i686")
    set(safe_exception_handlers /safeseh:no) # MinGW's system libraries carry no handler tables
endif()
execute_process(COMMAND ${CLANG} --target=${TRIPLE} -O1 -DLORVAXEN_NO_CRT -I${root}/include
                        -c ${CLIENT} -o ${WORK_DIR}/client.obj COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${LLD_LINK} /nologo /entry:client /subsystem:console
                        ${safe_exception_handlers} /out:${msvc} ${WORK_DIR}/client.obj
                        ${root}/lib/Lorvaxen.lib /libpath:/usr/${TRIPLE}/lib ${archives}
                COMMAND_ERROR_IS_FATAL ANY)

foreach(program ${mingw} ${msvc})
    execute_process(COMMAND ${RUN_UNDER_WINE} ${PREFIXES} 96 ${program}
                    RESULT_VARIABLE result OUTPUT_VARIABLE output)
    if(NOT result EQUAL 0 OR NOT output MATCHES "0 \\*HELLO\\* 90")
        message(FATAL_ERROR "${program} under Wine (${result}): ${output}")
    endif()
    message(STATUS "${program}: ${output}")
endforeach()
