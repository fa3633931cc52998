# Run by CPack after it has made the Debian packages (CPACK_POST_BUILD_SCRIPTS). CPack gives a
# package with a shared library in the system's folders a postinst and a postrm that call
# ldconfig, and offers no way to leave them out. The library's package has an ldconfig trigger
# instead (cmake/debian/liblorvaxen0/triggers), and without a postrm, and with no configuration
# files, "apt-get remove" leaves nothing behind. So those two scripts are taken out here and the
# package is built again from its unpacked tree with dpkg-deb.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(NOT package MATCHES "\\.deb$")
        continue()
    endif()
    set(tree ${package}.tree)
    file(REMOVE_RECURSE ${tree})
    execute_process(COMMAND dpkg-deb --raw-extract ${package} ${tree} COMMAND_ERROR_IS_FATAL ANY)
    set(changed FALSE)
    foreach(script IN ITEMS postinst postrm)
        set(path ${tree}/DEBIAN/${script})
        if(EXISTS ${path})
            file(STRINGS ${path} commands REGEX "^[^#]")
            # Only CPack's own script goes: a shell, an "if", ldconfig and "fi".
            list(FILTER commands EXCLUDE REGEX "^[ \t]*(set -e|if \\[ .*|ldconfig|fi)[ \t]*$")
            if(NOT commands)
                file(REMOVE ${path})
                set(changed TRUE)
            endif()
        endif()
    endforeach()
    if(changed)
        execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build ${tree} ${package}
                        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    endif()
    file(REMOVE_RECURSE ${tree})
endforeach()
