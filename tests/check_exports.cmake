# Fails unless LIBRARY exports exactly the barcode functions that exist and the version query.
execute_process(COMMAND nm -D --defined-only ${LIBRARY} OUTPUT_VARIABLE symbols
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "[^ \n]+\n" lines "${symbols}")
set(names "")
foreach(line IN LISTS lines)
    string(STRIP "${line}" name)
    list(APPEND names ${name})
endforeach()
list(SORT names)
set(expected BarCode_Code39 BarCode_I2of5 BarCode_JAN BarCode_NW7 Lorvaxen_version)
if(NOT names STREQUAL expected)
    message(FATAL_ERROR "exports are '${names}', expected '${expected}'")
endif()
