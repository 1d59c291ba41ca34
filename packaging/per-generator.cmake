# Read by CPack once per generator: the program, the manual and the
# changelog go into every package, and each format's own licence file only
# into its own (Debian's copyright file, the RPM's LICENSE).
list(GET CPACK_INSTALL_CMAKE_PROJECTS 0 build)
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_INSTALL_CMAKE_PROJECTS ${build} primebench Unspecified / ${build} primebench debian /)
elseif(CPACK_GENERATOR STREQUAL "RPM")
  set(CPACK_INSTALL_CMAKE_PROJECTS ${build} primebench Unspecified / ${build} primebench rpm /)
endif()
