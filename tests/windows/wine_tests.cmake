# Windows programs run as tests under Wine, headless, with the screen at a chosen resolution:
#     lorvaxen_add_wine_test(NAME name DPI dpi [BITS 32|64] [PLAIN] COMMAND program [argument...])
# BITS is the program's bitness, by default the build's. PLAIN runs it in prefixes of their own
# (wine-plain/), as Wine makes them, without the replacement of the Japanese user-interface font. Each build tree keeps one Wine prefix of
# each bitness in wine/, made by the first run that needs it; the runs take turns with them. Every
# such test has the label wine and the label wine32 or wine64. Where the kernel cannot start 32-bit
# programs, a wine32 test is reported skipped, never passed (ctest -LE wine32 leaves them out).
set(LORVAXEN_RUN_UNDER_WINE ${CMAKE_CURRENT_LIST_DIR}/run_under_wine.sh)

function(lorvaxen_add_wine_test)
    cmake_parse_arguments(PARSE_ARGV 0 arg "PLAIN" "NAME;DPI;BITS" "COMMAND")
    if(NOT arg_BITS)
        math(EXPR arg_BITS "${CMAKE_SIZEOF_VOID_P} * 8")
    endif()
    set(prefixes wine)
    if(arg_PLAIN)
        set(prefixes wine-plain)
    endif()
    add_test(NAME ${arg_NAME}
             COMMAND ${CMAKE_COMMAND} -E env LORVAXEN_WINE_PLAIN=$<BOOL:${arg_PLAIN}>
                     ${LORVAXEN_RUN_UNDER_WINE} ${PROJECT_BINARY_DIR}/${prefixes} ${arg_DPI}
                     ${arg_COMMAND})
    # One at a time, whatever the prefix: they share the screen, and tests read it back.
    set_tests_properties(${arg_NAME} PROPERTIES TIMEOUT 900 RESOURCE_LOCK wine
                         SKIP_RETURN_CODE 77 LABELS "wine;wine${arg_BITS}")
endfunction()
