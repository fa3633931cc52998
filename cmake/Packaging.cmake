# Packages, made with `cpack` in a build tree: on Linux one Debian package per install component,
# for Windows one zip per architecture.
#   Runtime      the shared library and the graphics stand-in     liblorvaxen0
#   Development  header, import libraries, CMake and pkg-config   liblorvaxen-dev
#   Tool         the lorvaxen command and its manual page         lorvaxen
#   Demo         Mendova, its manual page, menu entry and icon    mendova
#   Python       the Python module and its typing stub            python3-lorvaxen
set(lorvaxen_packages Runtime liblorvaxen0 Development liblorvaxen-dev Tool lorvaxen)
if(TARGET Mendova)
    list(APPEND lorvaxen_packages Demo mendova)
endif()
if(TARGET lorvaxen_python)
    list(APPEND lorvaxen_packages Python python3-lorvaxen)
endif()

set(CPACK_PACKAGE_NAME Lorvaxen)
set(CPACK_PACKAGE_VENDOR "The Lorvaxen authors")
set(LORVAXEN_DEBIAN_MAINTAINER "The Lorvaxen authors <lorvaxen@example.org>" CACHE STRING
    "The Maintainer of the Debian packages and their changelog: a name and an address")
set(CPACK_PACKAGE_CONTACT ${LORVAXEN_DEBIAN_MAINTAINER})
# Each Debian package's summary is the first line of its component's description.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS Runtime)
set(CPACK_COMPONENT_TOOL_DEPENDS Runtime)
set(CPACK_COMPONENT_DEMO_DEPENDS Runtime)
# The module takes the library's C++ interface in whole (a static library), and needs only the
# graphics stand-in of the library's package.
set(CPACK_COMPONENT_PYTHON_DEPENDS Runtime)
# Each first line is the package's summary; the lines below it, its extended description, which
# Debian shows within 80 columns.
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "One-dimensional barcodes as monochrome bitmaps
Makes JAN (EAN-13), Code 39, Interleaved 2 of 5 and NW7 (Codabar) symbols
as bitmaps sized in millimetres, through a Win32-style C interface and its
graphics stand-in.")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "One-dimensional barcodes: development files
The header, the link to the shared library, and the CMake and pkg-config
files.")
set(CPACK_COMPONENT_TOOL_DESCRIPTION "Writes one-dimensional barcodes as image files
lorvaxen writes JAN, Code 39, Interleaved 2 of 5 and NW7 barcodes as PNG,
SVG, PBM or BMP, and grades the print quality of a barcode in an image.")
set(CPACK_COMPONENT_PYTHON_DESCRIPTION "Barcode labels and their print quality for Python
import lorvaxen: make() turns a text into a JAN, UPC-A, Code 39, Interleaved
2 of 5, ITF-14, NW7 or Codabar label of whole printer dots, as PNG, SVG, PDF
or EPS bytes, a PIL image or a numpy array; verify() grades the print quality
of a barcode in an image, with advice.")
set(CPACK_COMPONENT_DEMO_DESCRIPTION "Demonstration form of the Lorvaxen barcode library
Mendova makes a barcode from a text, a symbology and its dimensions, and
shows it.")

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
    # A Debian revision below 1, as packages made outside Debian carry: should Debian ever package
    # the library, its own 0.9.0-1 replaces these.
    set(CPACK_DEBIAN_PACKAGE_RELEASE 0lorvaxen1)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${LORVAXEN_DEBIAN_MAINTAINER})
    set(CPACK_DEBIAN_PACKAGE_SECTION libs)
    set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
    # Dependencies on Debian's packages are read from the programs' needs; the library and the
    # stand-in that the tool and the demo need are found in the build tree.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/library
                                                    ${PROJECT_BINARY_DIR}/platform/gdi)
    # The library's shlibs, symbols and ldconfig trigger are written by hand: CPack's own shlibs
    # would also offer the stand-in under the system name libgdi32, and its maintainer scripts
    # call ldconfig (see cmake/DebianPackages.cmake, which takes them out of the package).
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA
        ${PROJECT_SOURCE_DIR}/cmake/debian/liblorvaxen0/shlibs
        ${PROJECT_SOURCE_DIR}/cmake/debian/liblorvaxen0/symbols
        ${PROJECT_SOURCE_DIR}/cmake/debian/liblorvaxen0/triggers)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebianPackages.cmake)
    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
    set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION graphics)
    set(CPACK_DEBIAN_DEMO_PACKAGE_SECTION graphics)
    # The form's captions are Japanese: without the font they are empty boxes.
    set(CPACK_DEBIAN_DEMO_PACKAGE_DEPENDS fonts-noto-cjk)
    # The tool sets the text under the bars in OCR-B, read from the font package's file.
    set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS fonts-ocr-b)
    # The module is built for this Debian's Python alone, and draws the text of labels in OCR-B
    # and of verify's pictures in DejaVu Sans; Pillow and numpy only for to_image and to_numpy.
    set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
    set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
        "python3 (>= ${LORVAXEN_PYTHON_VERSION}~), python3 (<< ${LORVAXEN_PYTHON_NEXT}), fonts-ocr-b, fonts-dejavu-core")
    set(CPACK_DEBIAN_PYTHON_PACKAGE_SUGGESTS "python3-pil, python3-numpy")
    # Every package carries the licence and the Debian changelog, where Debian looks for them.
    configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/changelog.in
                   ${PROJECT_BINARY_DIR}/changelog.Debian @ONLY)
    lorvaxen_gzip(${PROJECT_BINARY_DIR}/changelog.Debian changelog)
    while(lorvaxen_packages)
        list(POP_FRONT lorvaxen_packages component package)
        string(TOUPPER ${component} upper)
        set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${package})
        list(APPEND CPACK_COMPONENTS_ALL ${component})
        install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
                DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} RENAME copyright
                COMPONENT ${component})
        install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
                COMPONENT ${component})
    endwhile()
    # Stripped programs and libraries also lose the compiler's .comment and the .note section,
    # as Debian's own packages do; this runs after every other install rule.
    set(strip_comments [[
        if(CMAKE_INSTALL_DO_STRIP)
            foreach(file IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
                set(file "$ENV{DESTDIR}${file}")
                if(NOT IS_SYMLINK "${file}" AND NOT IS_DIRECTORY "${file}" AND EXISTS "${file}")
                    file(READ "${file}" magic LIMIT 4 HEX)
                    if(magic STREQUAL "7f454c46")
                        execute_process(COMMAND "@CMAKE_STRIP@" --remove-section=.comment
                                                --remove-section=.note "${file}"
                                        COMMAND_ERROR_IS_FATAL ANY)
                    endif()
                endif()
            endforeach()
        endif()
    ]])
    string(CONFIGURE "${strip_comments}" strip_comments @ONLY)
    install(CODE "${strip_comments}" ALL_COMPONENTS)
endif()

include(CPack)
