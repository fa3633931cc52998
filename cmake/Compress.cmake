# Files compressed as Debian compresses documentation: at the highest level and without the name
# and time stamp that would make two builds of the same text differ.

# lorvaxen_gzip(FILE VARIABLE): makes FILE.gz in the current build folder as part of the build,
# and sets VARIABLE to its path.
function(lorvaxen_gzip file variable)
    get_filename_component(name ${file} NAME)
    set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" gzip ${file} ${compressed}
        DEPENDS ${file} VERBATIM)
    string(MAKE_C_IDENTIFIER "gzip_${name}" target)
    add_custom_target(${target} ALL DEPENDS ${compressed})
    set(${variable} ${compressed} PARENT_SCOPE)
endfunction()

# lorvaxen_install_gzipped(FILE DESTINATION COMPONENT): installs FILE as FILE.gz.
function(lorvaxen_install_gzipped file destination component)
    lorvaxen_gzip(${file} compressed)
    install(FILES ${compressed} DESTINATION ${destination} COMPONENT ${component})
endfunction()
