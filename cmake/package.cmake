# `make package`: two Debian packages. `volkit` is the tool an administrator
# installs on a server; `volkit-sim` holds vxtsim, whose interposer fakes the
# driver, so it never lands on a machine by accident with the tool.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME volkit)
set(CPACK_PACKAGE_VENDOR "volkit project")
set(CPACK_PACKAGE_CONTACT "volkit maintainers <volkit@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL volkit sim)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_VOLKIT_PACKAGE_NAME volkit)
set(CPACK_COMPONENT_VOLKIT_DESCRIPTION "configure and inspect the RAID (IR) volumes of SAS and SCSI adapters
volkit lists adapters, creates and deletes IR volumes and hot spares, takes
members offline and online, switches locate LEDs and reports controller,
volume, disk and enclosure information, all through /dev/vxtctl.")
set(CPACK_DEBIAN_SIM_PACKAGE_NAME volkit-sim)
set(CPACK_DEBIAN_SIM_PACKAGE_RECOMMENDS volkit)
set(CPACK_COMPONENT_SIM_DESCRIPTION "virtual controller for trying volkit without hardware
vxtsim runs a command with an LD_PRELOAD library standing in for the
/dev/vxtctl driver and the controller firmware, from a JSON lab.")
include(CPack)

# The architecture the package file names carry, for the package test.
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE VOLKIT_DEB_ARCH
                OUTPUT_STRIP_TRAILING_WHITESPACE)
