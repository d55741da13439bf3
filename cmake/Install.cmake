# Installation and the Debian package. The program and the simulator's tools
# go to a private program folder, the catalogues and the demo network to the
# shared data folder, and a launcher to bin: it prepares each user's own work
# folder and starts the program there. A desktop entry and an icon make it
# appear in the desktop's menus, a metainfo file in its software centre.
include(GNUInstallDirs)

set(KALDOR_INSTALL_LIBEXEC ${CMAKE_INSTALL_LIBEXECDIR}/kaldor-config)
set(KALDOR_INSTALL_DATA ${CMAKE_INSTALL_DATADIR}/kaldor-config)

install(TARGETS kaldor-config ihcp_client MacDiscover winl2fwserver kaldor-sim
    RUNTIME DESTINATION ${KALDOR_INSTALL_LIBEXEC})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/languages DESTINATION ${KALDOR_INSTALL_DATA})
install(FILES ${KALDOR_DEMO_NETWORK} DESTINATION ${KALDOR_INSTALL_DATA})
# The user guide next to the screenshots it shows.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/guide ${PROJECT_SOURCE_DIR}/docs/screenshots
    DESTINATION ${KALDOR_INSTALL_DATA})

# The launcher finds the other folders relative to its own, so the install
# works under whatever prefix it is given at install time.
file(RELATIVE_PATH KALDOR_BIN_TO_LIBEXEC ${CMAKE_INSTALL_FULL_BINDIR}
    ${CMAKE_INSTALL_FULL_LIBEXECDIR}/kaldor-config)
file(RELATIVE_PATH KALDOR_BIN_TO_DATA ${CMAKE_INSTALL_FULL_BINDIR}
    ${CMAKE_INSTALL_FULL_DATADIR}/kaldor-config)
configure_file(${PROJECT_SOURCE_DIR}/packaging/kaldor-config.in
    ${CMAKE_BINARY_DIR}/packaging/kaldor-config @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/kaldor-config DESTINATION ${CMAKE_INSTALL_BINDIR})
# The command line needs no launcher: it finds its work folder itself. Its
# manual page is compressed, as Debian keeps them.
install(TARGETS kaldor-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(KALDOR_CLI_MAN ${CMAKE_BINARY_DIR}/packaging/kaldor-cli.1.gz)
add_custom_command(OUTPUT ${KALDOR_CLI_MAN}
    COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/kaldor-cli.1 > ${KALDOR_CLI_MAN}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/kaldor-cli.1)
add_custom_target(kaldor_cli_man ALL DEPENDS ${KALDOR_CLI_MAN})
install(FILES ${KALDOR_CLI_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kaldor-config.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kaldor-config.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The software centre's description of the program, tied to the desktop entry.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.example.kaldor_config.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The install test runs `cmake --install` on this build.
if(TARGET test_install)
    add_dependencies(test_install kaldor_cli_man)
    target_compile_definitions(test_install PRIVATE
        KALDOR_CMAKE_COMMAND="${CMAKE_COMMAND}"
        KALDOR_BINARY_DIR="${CMAKE_BINARY_DIR}")
endif()

# `cpack -G DEB` in the build folder. The library dependencies are found by
# dpkg-shlibdeps (package dpkg-dev); the platform plugins are loaded at run
# time, so that package is named by hand.
set(CPACK_PACKAGE_NAME kaldor-config)
set(CPACK_PACKAGE_VENDOR "Kaldor")
set(CPACK_PACKAGE_CONTACT "Kaldor Config maintainers <kaldor-config@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration assistant for powerline network adapters")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A wizard that discovers the powerline adapter wired to the computer and the nodes on its "
    "powerline network, and sets their network identifier, key, password and every other "
    "parameter. Ships with a simulated network to try it without hardware, and kaldor-cli, "
    "which does the same from a shell.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_GENERATOR DEB)
include(CPack)
