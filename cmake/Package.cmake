# The Debian package, made by CPack's DEB generator from the install rules
# (tools/make-package). The version is the project's.

# Maintainer scripts: the group, the machine-wide catalog, the backup timer.
set(ZEMT_CREATE_CATALOG ${ZEMT_COMMAND}-create-catalog)
set(ZEMT_BACKUP_TIMER "")
if(ZEMT_MACHINE_CATALOG)
  set(ZEMT_BACKUP_TIMER ${ZEMT_COMMAND}-backup.timer)
endif()
set(zemt_scripts)
foreach(script postinst prerm postrm)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/${script}.in
                 ${CMAKE_BINARY_DIR}/package-scripts/${script} @ONLY)
  list(APPEND zemt_scripts ${CMAKE_BINARY_DIR}/package-scripts/${script})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${ZEMT_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZEMT_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "database of a student dormitory office")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop front-end for the office of a student dormitory, in Russian. The
operator looks up students by record-book number or surname, sees the rooms
each student is checked into and the months each has paid for, browses the
rooms with their furniture, views a chart of places per room and prints a
report over the student list.")
if(ZEMT_MACHINE_CATALOG)
  string(APPEND CPACK_PACKAGE_DESCRIPTION "

Installing the package creates an empty machine-wide catalog, writable by
the members of the group '${ZEMT_GROUP}', and a daily backup of it.")
else()
  string(APPEND CPACK_PACKAGE_DESCRIPTION "

This build works on the catalog of the database server it was built for.")
endif()
# Libraries found by dpkg-shlibdeps; what it cannot see is named here: the
# platform plugins that put windows on a screen, the fonts the windows and
# the report are laid out with, and the tools of the maintainer scripts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core, fonts-liberation, sqlite3, adduser")
# The print spooler and its filters: printing, and printer output to a file.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "postgresql-client, cups, cups-filters")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${zemt_scripts})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
