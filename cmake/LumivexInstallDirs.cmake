# The install folders. Libraries go to the multiarch folder where the system
# has one (lib/x86_64-linux-gnu), under any prefix, so that a package made
# from the build puts them, their CMake package and pkg-config file where
# Debian keeps a machine's own libraries.
if(CMAKE_LIBRARY_ARCHITECTURE AND NOT DEFINED CACHE{CMAKE_INSTALL_LIBDIR})
  set(CMAKE_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE} CACHE PATH "Object code libraries (lib)")
endif()
include(GNUInstallDirs)
