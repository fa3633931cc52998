# The distribution's hardening flags (dpkg-buildflags with every hardening feature: fortified C
# functions, the stack protector, read-only relocations bound at load time) in native builds that
# can be packaged. Optimisation and debug information stay the build type's; sanitizer and fuzz
# builds, Debug builds (fortification needs optimisation) and Windows builds go without.
if(WIN32 OR CMAKE_CROSSCOMPILING OR LORVAXEN_SANITIZE OR LORVAXEN_THREAD_SANITIZER
   OR LORVAXEN_FUZZ OR CMAKE_BUILD_TYPE STREQUAL "Debug")
    return()
endif()
find_program(LORVAXEN_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT LORVAXEN_DPKG_BUILDFLAGS)
    return()
endif()
foreach(kind IN ITEMS CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            ${LORVAXEN_DPKG_BUILDFLAGS} --get ${kind}
                    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(O[0-9s]?|g[0-9]?|ffile-prefix-map=.*)$")
    if(kind STREQUAL "LDFLAGS")
        add_link_options(${flags})
    else()
        add_compile_options(${flags})
    endif()
endforeach()
