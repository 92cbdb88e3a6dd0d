# Names and places of the installed program, shared by the install rules, the
# package and the defaults of a package build.
set(ZEMT_PACKAGE_NAME zemt)
# The command on PATH, the operators' group and the program's folders share
# the package's name; the executable keeps its own name, which is the
# application's title.
set(ZEMT_COMMAND ${ZEMT_PACKAGE_NAME})
set(ZEMT_GROUP ${ZEMT_PACKAGE_NAME})
set(ZEMT_APP_ID org.zemt.Dormitory)
set(ZEMT_PACKAGE_MAINTAINER "ZEMT maintainers <zemt@maintainers.example.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(ZEMT_INSTALL_PRIVATE_DIR lib/${ZEMT_PACKAGE_NAME})
set(ZEMT_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/${ZEMT_PACKAGE_NAME})
set(ZEMT_INSTALLED_PRIVATE_DIR ${CMAKE_INSTALL_PREFIX}/${ZEMT_INSTALL_PRIVATE_DIR})
set(ZEMT_INSTALLED_DATA_DIR ${CMAKE_INSTALL_FULL_DATADIR}/${ZEMT_PACKAGE_NAME})
# The machine-wide catalog: made by the package on installation, never part
# of it, so that removing the package leaves the office's records in place.
set(ZEMT_INSTALLED_CATALOG ${CMAKE_INSTALL_FULL_LOCALSTATEDIR}/lib/${ZEMT_PACKAGE_NAME}/ZEMT.sqlite)
