# Installing Pennoro and packaging it as a Debian package.
#
# On Linux and other freedesktop systems the program comes with its menu entry, its icon in the
# hicolor theme and its AppStream metainfo, all named after the desktop id (PENNORO_DESKTOP_ID, set in the top CMakeLists.txt).
# `cmake --install <build> --prefix <dir>` lays out the tree; `cpack -G DEB` in the build folder
# makes pennoro_<version>_<arch>.deb from the same rules.


# The program links the system's Qt and ICU, so it needs no run path of its own (Qt's project set-up
# would give it one pointing next to the binary).
set_target_properties(pennoro PROPERTIES INSTALL_RPATH "")
install(TARGETS pennoro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(UNIX AND NOT APPLE)
    set(pennoro_icons ${PROJECT_SOURCE_DIR}/resources/icons)
    set(pennoro_hicolor ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
    foreach(size IN ITEMS 16 32 48 256)
        install(FILES ${pennoro_icons}/pennoro-${size}.png
                DESTINATION ${pennoro_hicolor}/${size}x${size}/apps
                RENAME ${PENNORO_DESKTOP_ID}.png)
    endforeach()
    install(FILES ${pennoro_icons}/pennoro.svg DESTINATION ${pennoro_hicolor}/scalable/apps
            RENAME ${PENNORO_DESKTOP_ID}.svg)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/${PENNORO_DESKTOP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/${PENNORO_DESKTOP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_PACKAGE_NAME pennoro)
set(CPACK_PACKAGE_VENDOR "The Pennoro developers")
set(CPACK_PACKAGE_CONTACT "The Pennoro developers <pennoro@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small editor for writing HTML by hand")
set(CPACK_PACKAGE_DESCRIPTION
    "Pennoro is a small single-window editor for writing HTML by hand. You type into one large\n"
    "memo and wrap the selection in HTML tags from the menus or with shortcut keys. The memo is\n"
    "kept in the file Data.pnr in the folder the program was started in (the home folder when\n"
    "started from the desktop menu). The user interface is Japanese.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.example.org/pennoro/)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the binary links (Qt 6 Core, Gui and Widgets, ICU, the C++ runtime) are found by
# dpkg-shlibdeps, so the versions match the system the package is built on. Debian's libqt6gui6
# also holds the X11 platform plugin. What no link shows is the Japanese font that the memo and
# the labels fall back to, Qt's own Japanese translation that the program loads at start-up, and
# glibc's Japanese messages (libc-l10n) that the reasons for failed reads and writes come from.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-translations-l10n, libc-l10n")

include(CPack)

# The install tree and the package are checked with the test suite, so that neither can rot.
if(PENNORO_BUILD_TESTS AND UNIX AND NOT APPLE)
    add_test(NAME install_and_package
             COMMAND ${PROJECT_SOURCE_DIR}/tests/install/check-install.sh ${PROJECT_BINARY_DIR})
endif()
