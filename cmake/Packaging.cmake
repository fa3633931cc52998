# Packages, made with `cpack` in a build tree: on Linux one Debian package per install component,
# for Windows one zip per architecture.
#   Runtime      the shared library and the graphics stand-in     liblorvaxen0
#   Development  header, import libraries, CMake and pkg-config   liblorvaxen-dev
#   Tool         the lorvaxen command and its manual page         lorvaxen
#   Demo         Mendova                                          mendova
set(lorvaxen_packages Runtime liblorvaxen0 Development liblorvaxen-dev Tool lorvaxen)
if(TARGET Mendova)
    list(APPEND lorvaxen_packages Demo mendova)
endif()

set(CPACK_PACKAGE_NAME Lorvaxen)
set(CPACK_PACKAGE_VENDOR "The Lorvaxen authors")
set(CPACK_PACKAGE_CONTACT "The Lorvaxen authors")
# Each Debian package's summary is the first line of its component's description.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS Runtime)
set(CPACK_COMPONENT_TOOL_DEPENDS Runtime)
set(CPACK_COMPONENT_DEMO_DEPENDS Runtime)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "One-dimensional barcodes as monochrome bitmaps
Makes JAN (EAN-13), Code 39, Interleaved 2 of 5 and NW7 (Codabar) symbols as bitmaps sized
in millimetres, through a Win32-style C interface and its graphics stand-in.")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "One-dimensional barcodes: development files
The header, the link to the shared library, and the CMake and pkg-config files.")
set(CPACK_COMPONENT_TOOL_DESCRIPTION "Writes one-dimensional barcodes as image files
lorvaxen writes JAN, Code 39, Interleaved 2 of 5 and NW7 barcodes as PNG, SVG, PBM or BMP.")
set(CPACK_COMPONENT_DEMO_DESCRIPTION "Demonstration form of the Lorvaxen barcode library
Mendova makes a barcode from a text, a symbology and its dimensions, and shows it.")

if(WIN32)
    # One zip carries every install rule: the DLL, the header, the import libraries, the
    # definitions, the CMake package and the texts below.
    set(CPACK_GENERATOR ZIP)
    set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(CPACK_SYSTEM_NAME win32)
    else()
        set(CPACK_SYSTEM_NAME win64)
    endif()
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/cmake/README-Windows.txt
            DESTINATION . COMPONENT Runtime)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_ALL "")
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
    set(CPACK_DEBIAN_PACKAGE_SECTION libs)
    set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
    # Dependencies on Debian's packages are read from the programs' needs; the library and the
    # stand-in that the tool and the demo need are found in the build tree.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/library
                                                    ${PROJECT_BINARY_DIR}/platform/gdi)
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
    set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION graphics)
    set(CPACK_DEBIAN_DEMO_PACKAGE_SECTION graphics)
    # The form's captions are Japanese.
    set(CPACK_DEBIAN_DEMO_PACKAGE_RECOMMENDS fonts-noto-cjk)
    # The tool sets the text under the bars in OCR-B, read from the font package's file.
    set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS fonts-ocr-b)
    while(lorvaxen_packages)
        list(POP_FRONT lorvaxen_packages component package)
        string(TOUPPER ${component} upper)
        set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${package})
        list(APPEND CPACK_COMPONENTS_ALL ${component})
        # Every package carries the licence, where Debian looks for it.
        install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
                DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} RENAME copyright
                COMPONENT ${component})
    endwhile()
endif()

include(CPack)
