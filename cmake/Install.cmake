# What `cmake --install` puts where. The executable keeps its name (the
# application's title) in a private folder; PATH gets a link with the
# package's lower-case name.
install(TARGETS Project1 RUNTIME DESTINATION ${ZEMT_INSTALL_PRIVATE_DIR})
file(RELATIVE_PATH zemt_link_target ${CMAKE_INSTALL_FULL_BINDIR} ${ZEMT_INSTALLED_PRIVATE_DIR}/Project1)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install)
file(CREATE_LINK ${zemt_link_target} ${CMAKE_BINARY_DIR}/install/${ZEMT_COMMAND} SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/install/${ZEMT_COMMAND} DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ZEMT_REPORT_PROJECT_OUTPUT} DESTINATION ${ZEMT_INSTALL_DATA_DIR})

# The machine-wide SQLite catalog the package creates, when the program is
# built for one (an office on PostgreSQL keeps its catalog on the server).
set(ZEMT_MACHINE_CATALOG "")
if(ZEMT_CONNECTION_STRING MATCHES "(^|;) *Provider=SQLite *(;|$)"
   AND ZEMT_CONNECTION_STRING MATCHES "(^|;) *Data Source=([^;]+)")
  set(ZEMT_MACHINE_CATALOG "${CMAKE_MATCH_2}")
  get_filename_component(ZEMT_MACHINE_CATALOG_DIR "${ZEMT_MACHINE_CATALOG}" DIRECTORY)
endif()

# Desktop menu: entry, icon in the hicolor theme (48x48 is the size every
# desktop falls back to), AppStream metainfo.
set(zemt_packaging ${CMAKE_SOURCE_DIR}/packaging)
configure_file(${CMAKE_SOURCE_DIR}/resources/zemt.desktop.in
               ${CMAKE_BINARY_DIR}/install/${ZEMT_APP_ID}.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/install/${ZEMT_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(icon "MAINICON.png;32x32" "MAINICON-48.png;48x48" "MAINICON@2x.png;64x64")
  list(GET icon 0 file)
  list(GET icon 1 size)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/${file}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps
          RENAME ${ZEMT_APP_ID}.png)
endforeach()
configure_file(${zemt_packaging}/metainfo.xml.in
               ${CMAKE_BINARY_DIR}/install/${ZEMT_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/install/${ZEMT_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Catalog schemas and the catalog-creation tool, which finds them relative
# to itself. The demo data is not installed.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/db/sqlite ${CMAKE_SOURCE_DIR}/db/postgres
        DESTINATION ${ZEMT_INSTALL_DATA_DIR}/db)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/tools/create-catalog
        DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME ${ZEMT_COMMAND}-create-catalog)

# The daily backup of the machine-wide catalog.
if(ZEMT_MACHINE_CATALOG)
  set(ZEMT_BACKUP_COMMAND ${ZEMT_INSTALLED_PRIVATE_DIR}/${ZEMT_COMMAND}-backup)
  install(PROGRAMS ${zemt_packaging}/zemt-backup
          DESTINATION ${ZEMT_INSTALL_PRIVATE_DIR} RENAME ${ZEMT_COMMAND}-backup)
  foreach(unit service timer)
    configure_file(${zemt_packaging}/zemt-backup.${unit}.in
                   ${CMAKE_BINARY_DIR}/install/${ZEMT_COMMAND}-backup.${unit} @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/install/${ZEMT_COMMAND}-backup.${unit}
            DESTINATION lib/systemd/system)
  endforeach()
endif()

# Documentation: README, copyright, changelog and manual pages, compressed
# as Debian wants them (gzip -9, no name or time stamp inside).
set(zemt_doc ${CMAKE_INSTALL_DATADIR}/doc/${ZEMT_PACKAGE_NAME})
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${zemt_packaging}/copyright DESTINATION ${zemt_doc})
find_program(ZEMT_GZIP gzip REQUIRED)
# The sources are configured files, so a change to one configures again.
function(zemt_install_gzipped source name destination)
  set(gz ${CMAKE_BINARY_DIR}/install/${name}.gz)
  execute_process(COMMAND ${ZEMT_GZIP} -9 -n -c INPUT_FILE ${source} OUTPUT_FILE ${gz}
                  COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${gz} DESTINATION ${destination})
endfunction()
configure_file(${zemt_packaging}/changelog.in ${CMAKE_BINARY_DIR}/install/changelog @ONLY)
zemt_install_gzipped(${CMAKE_BINARY_DIR}/install/changelog changelog ${zemt_doc})
# The machine-wide catalog's entries of the manual page, in a package built
# for one.
set(ZEMT_MAN_CATALOG_FILES "")
if(ZEMT_MACHINE_CATALOG)
  configure_file(${zemt_packaging}/zemt.1-catalog.in ${CMAKE_BINARY_DIR}/install/zemt.1-catalog @ONLY)
  file(READ ${CMAKE_BINARY_DIR}/install/zemt.1-catalog ZEMT_MAN_CATALOG_FILES)
endif()
foreach(page zemt.1 zemt-create-catalog.1)
  configure_file(${zemt_packaging}/${page}.in ${CMAKE_BINARY_DIR}/install/${page} @ONLY)
  string(REPLACE "zemt" "${ZEMT_COMMAND}" installed_page ${page})
  zemt_install_gzipped(${CMAKE_BINARY_DIR}/install/${page} ${installed_page}
                       ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
