# What an installed Throngwick is beyond the program and its files: the menu entry, the icon,
# the software-centre metadata, the manual page and the packages' own documents, and the two
# Debian packages CPack makes of it all: throngwick (the program) and throngwick-data (its
# pictures and sounds, the same on every architecture).

set(THRONGWICK_APP_ID org.throngwick.throngwick)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${THRONGWICK_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT program)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${THRONGWICK_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT program)
install(FILES ${THRONGWICK_ICON}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps COMPONENT program)
# Strip keeps the compiler's .comment notes, which an installed program has no use for.
foreach(installed games/throngwick lib/games/throngwick/throngwick-clip.so)
    install(CODE "execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${installed}\" COMMAND_ERROR_IS_FATAL ANY)"
        COMPONENT program)
endforeach()

# Every time stamp in the packages (help2man's date, CPack's file and archive times) is the
# sources' own, so that the same sources packaged twice give the same bytes.
include(${CMAKE_CURRENT_LIST_DIR}/SourceDateEpoch.cmake)
throngwick_source_date_epoch(${CMAKE_SOURCE_DIR} sourceDateEpoch)
set(withTimeStamp ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${sourceDateEpoch})
# CPack reads the time stamp from its own environment, which this file sets for every run.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackTimeStamp.cmake)
file(CONFIGURE OUTPUT ${CPACK_PROJECT_CONFIG_FILE}
    CONTENT "set(ENV{SOURCE_DATE_EPOCH} ${sourceDateEpoch})\n")
# Rewritten only when it changes, so the manual page is remade exactly then.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/source-date-epoch CONTENT "${sourceDateEpoch}\n")

# The manual page is the program's own --help and --version, which need no display.
find_program(HELP2MAN help2man)
if(HELP2MAN)
    set(manual ${CMAKE_BINARY_DIR}/throngwick.6)
    add_custom_command(OUTPUT ${manual}.gz
        COMMAND ${withTimeStamp} ${HELP2MAN} --section=6 --no-info --no-discard-stderr
            "--name=a hall of 500 people who sing, draw guns and catch fire"
            --output=${manual} $<TARGET_FILE:throngwick>
        COMMAND gzip -9nf ${manual}
        DEPENDS throngwick ${CMAKE_BINARY_DIR}/source-date-epoch
        COMMENT "Writing the manual page")
    add_custom_target(manual ALL DEPENDS ${manual}.gz)
    install(FILES ${manual}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT program)
else()
    message(STATUS "help2man not found: no manual page (scripts/setup.sh installs it)")
endif()

# Each package carries the licence and the changelog in its own documents folder.
set(changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
    COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/changelog > ${changelog}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog)
add_custom_target(changelog ALL DEPENDS ${changelog})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${changelog}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/throngwick COMPONENT program)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${changelog}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/throngwick-data COMPONENT data)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME throngwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Throngwick developers <throngwick@example.org>")
set(CPACK_DEBIAN_PACKAGE_SOURCE throngwick)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program data)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

# The lines under each summary; CPack indents them.
set(about "Five hundred people stand in a hall, each a stack of flat painted cut-outs
swaying on their own rhythm. Click one: the crowd steps back and the camera
flies to them; then make them sing, draw a gun or catch fire, and watch song
and fire spread through the crowd while distant explosions shake the view.")

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME throngwick)
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION "hall of 500 people who sing, draw guns and catch fire
${about}")
# The pictures and sounds of exactly this version, and the run-time libraries dpkg-shlibdeps
# finds in the program.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS "throngwick-data (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_DATA_PACKAGE_NAME throngwick-data)
set(CPACK_DEBIAN_DATA_PACKAGE_ARCHITECTURE all)
# Before 1.1.0 one package held the pictures and sounds too: an upgrade moves them over.
set(CPACK_DEBIAN_DATA_PACKAGE_BREAKS "throngwick (<< 1.1.0)")
set(CPACK_DEBIAN_DATA_PACKAGE_REPLACES "throngwick (<< 1.1.0)")
set(CPACK_COMPONENT_DATA_DESCRIPTION "pictures and sounds of the Throngwick crowd scene
${about}
.
This package holds the pictures and sounds Throngwick reads: the hall, the
people, their flames and the option card, the fire and explosion sounds, the
crowd's voices and the music.")
include(CPack)
