# `make package`: two Debian packages. `volkit` is the tool an administrator
# installs on a server; `volkit-sim` holds vxtsim, whose interposer fakes the
# driver, so it never lands on a machine by accident with the tool.
# `make package-check` holds them to lintian: no error and no warning.
# Informational tags allowed to stay, each with its reason:
# - package-contains-documentation-outside-usr-share-doc for the README of
#   the Ansible collection: a collection keeps its README beside its code,
#   where galaxy.yml names it and Ansible's tools look for it.
#
# SPDX-License-Identifier: GPL-2.0-or-later (LICENSE; packaging/copyright
# carries it into each package)
include(${PROJECT_SOURCE_DIR}/cmake/compress.cmake)

# Both packages are native and built from one source, so they share the
# changelog; its newest entry must be the version being built.
set(VOLKIT_CHANGELOG ${PROJECT_SOURCE_DIR}/packaging/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VOLKIT_CHANGELOG})
file(STRINGS ${VOLKIT_CHANGELOG} newest_entry LIMIT_COUNT 1)
string(REPLACE "." "\\." version_pattern "${PROJECT_VERSION}")
if(NOT newest_entry MATCHES "^volkit \\(${version_pattern}\\) ")
  message(FATAL_ERROR "packaging/changelog: the newest entry is not for ${PROJECT_VERSION}; "
                      "add one (dch -v ${PROJECT_VERSION}) when the version changes")
endif()
volkit_gzip(${VOLKIT_CHANGELOG} ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_target(package_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)

# Each package's documentation directory: the copyright file, the changelog
# (changelog.gz, as native packages name it) and the guide.
set(package_docs packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${package_docs} README.md docs/volkit-json.schema.json
        docs/volkit-layout.schema.json docs/volkit-plan.schema.json DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/volkit
        COMPONENT volkit)
install(FILES ${package_docs} docs/vxtsim.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/volkit-sim
        COMPONENT sim)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME volkit)
set(CPACK_PACKAGE_VENDOR "volkit project")
set(CPACK_PACKAGE_CONTACT "volkit maintainers <maintainers@volkit.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL volkit sim)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends is computed from the binaries by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Stripped as dh_strip strips (cmake/strip_staged.cmake).
set(CPACK_VOLKIT_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/strip_staged.cmake)

set(CPACK_DEBIAN_VOLKIT_PACKAGE_NAME volkit)
set(CPACK_COMPONENT_VOLKIT_DESCRIPTION "configure and inspect the RAID (IR) volumes of SAS and SCSI adapters
volkit is the command-line utility for the integrated RAID (IR) capability
of SAS and parallel SCSI host adapters driven through /dev/vxtctl. It lists
the adapters of a server, creates and deletes mirrored and striped volumes
and hot spares, takes member disks offline and online, switches the locate
LEDs of enclosure slots and reports the state of controllers, volumes,
disks and enclosures, for administrators setting up or looking after a
server's disks.")
set(CPACK_DEBIAN_SIM_PACKAGE_NAME volkit-sim)
set(CPACK_DEBIAN_SIM_PACKAGE_RECOMMENDS volkit)
set(CPACK_COMPONENT_SIM_DESCRIPTION "virtual controller for trying volkit without hardware
vxtsim runs a command with an LD_PRELOAD library standing in for the
/dev/vxtctl driver and the controller firmware, described by a JSON lab,
so that volkit can be learnt, scripted and tested on a machine without a
RAID adapter. It is not meant for production servers.")
include(CPack)

# The architecture the package file names carry, for the package test.
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE VOLKIT_DEB_ARCH
                OUTPUT_STRIP_TRAILING_WHITESPACE)
