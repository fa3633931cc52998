# Proves that the 32-bit link checks each export's stdcall argument bytes: the DLL's objects link
# with DEFINITIONS as they are, and fail to link once any one export names a wrong byte count.
#   cmake -DCOMPILER=... -DOBJECTS=a.obj|b.obj -DDEFINITIONS=Lorvaxen.def -DWORK_DIR=... -P this
string(REPLACE "|" ";" objects "${OBJECTS}")
file(MAKE_DIRECTORY ${WORK_DIR})

function(link_with definitions result output)
    file(WRITE ${WORK_DIR}/probe.def "${definitions}")
    execute_process(COMMAND ${COMPILER} -shared -o ${WORK_DIR}/probe.dll ${objects}
                            ${WORK_DIR}/probe.def -static-libgcc -static-libstdc++ -static
                            -Wl,--disable-stdcall-fixup -lgdi32 -luser32 -lkernel32
                    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
    set(${result} ${code} PARENT_SCOPE)
    set(${output} "${out}" PARENT_SCOPE)
endfunction()

file(READ ${DEFINITIONS} definitions)
link_with("${definitions}" code out)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "the DLL does not link with its own definitions:\n${out}")
endif()

# Each export in turn gets 4 bytes fewer (or 4 more for none), in both its names, as a slip in
# the file would give it.
string(REGEX MATCHALL "_[A-Za-z0-9_]+@[0-9]+ = [A-Za-z0-9_]+@[0-9]+" exports "${definitions}")
list(LENGTH exports count)
if(count LESS 1)
    message(FATAL_ERROR "no decorated exports found in ${DEFINITIONS}")
endif()
foreach(export IN LISTS exports)
    string(REGEX REPLACE "^_([A-Za-z0-9_]+)@([0-9]+) .*" "\\1;\\2" parts "${export}")
    list(GET parts 0 name)
    list(GET parts 1 bytes)
    if(bytes EQUAL 0)
        math(EXPR wrong "${bytes} + 4")
    else()
        math(EXPR wrong "${bytes} - 4")
    endif()
    string(REPLACE "${export}" "_${name}@${wrong} = ${name}@${wrong}" altered "${definitions}")
    link_with("${altered}" code out)
    if(code EQUAL 0 OR NOT out MATCHES "cannot export ${name}@${wrong}: symbol not defined")
        message(FATAL_ERROR "${name} exported with ${wrong} argument bytes did not fail the link "
                            "as it must (exit ${code}):\n${out}")
    endif()
    message(STATUS "${name}@${wrong} fails the link, as it must")
endforeach()
