# What an installed Throngwick is beyond the program and its files: the menu entry, the icon,
# the manual page and the package's own documents, and the Debian package CPack makes of it all.

install(FILES ${CMAKE_CURRENT_LIST_DIR}/throngwick.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${THRONGWICK_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

# The manual page is the program's own --help, which needs no display.
find_program(HELP2MAN help2man)
if(HELP2MAN)
    set(manual ${CMAKE_BINARY_DIR}/throngwick.6)
    add_custom_command(OUTPUT ${manual}.gz
        COMMAND ${HELP2MAN} --section=6 --no-info --no-discard-stderr
            "--name=a hall of 500 people who sing, draw guns and catch fire"
            --output=${manual} $<TARGET_FILE:throngwick>
        COMMAND gzip -9nf ${manual}
        DEPENDS throngwick
        COMMENT "Writing the manual page")
    add_custom_target(manual ALL DEPENDS ${manual}.gz)
    install(FILES ${manual}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
else()
    message(STATUS "help2man not found: no manual page (scripts/setup.sh installs it)")
endif()

set(changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
    COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/changelog > ${changelog}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog)
add_custom_target(changelog ALL DEPENDS ${changelog})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${changelog}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/throngwick)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME throngwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Throngwick developers <throngwick@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "hall of 500 people who sing, draw guns and catch fire")
# The lines under the summary; CPack indents them.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Five hundred people stand in a hall, each a stack of flat painted cut-outs
swaying on their own rhythm. Click one: the crowd steps back and the camera
flies to them; then make them sing, draw a gun or catch fire, and watch song
and fire spread through the crowd while distant explosions shake the view.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The run-time libraries, as dpkg-shlibdeps finds them in the program.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
