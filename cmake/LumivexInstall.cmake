# Installs the reflection controls as a library for other programs: the public
# headers under include/lumivex/ (folders kept, so that both
# <lumivex/controls/...> and the headers' own "imaging/..." includes resolve),
# the layer libraries the controls need, a CMake package with namespaced
# targets (find_package(Lumivex CONFIG)) and a pkg-config file.
include(CMakePackageConfigHelpers)
include(${CMAKE_CURRENT_LIST_DIR}/LumivexPublicHeaders.cmake)

# Layer library -> its name in the package (Lumivex::<name>), bottom to top.
set(LUMIVEX_INSTALLED_LIBRARIES
  lumivex_toolkit=Toolkit
  lumivex_toolkit_widgets=ToolkitWidgets
  lumivex_imaging=Imaging
  lumivex_pictures=Pictures
  lumivex_markup=Markup
  lumivex_markup_label=MarkupLabel
  lumivex_controls=Controls)

set(LUMIVEX_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Lumivex)
set(LUMIVEX_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/lumivex)

# Inside the build the same <lumivex/...> names reach the sources, so that
# code written for the installed package (forms compiled by uic among it)
# builds here too.
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/include)
file(CREATE_LINK ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/include/lumivex SYMBOLIC)

set(lumivex_targets)
foreach(entry ${LUMIVEX_INSTALLED_LIBRARIES})
  string(REPLACE "=" ";" parts ${entry})
  list(GET parts 0 target)
  list(GET parts 1 export_name)
  if(NOT TARGET ${target})
    continue()
  endif()
  list(APPEND lumivex_targets ${target})
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${export_name})
  add_library(Lumivex::${export_name} ALIAS ${target})
  # The build points at the source tree; an installed copy at its own headers.
  set_property(TARGET ${target} PROPERTY INTERFACE_INCLUDE_DIRECTORIES
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/include>
    $<INSTALL_INTERFACE:${LUMIVEX_INSTALL_INCLUDEDIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
endforeach()

install(TARGETS ${lumivex_targets} EXPORT LumivexTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)

# A package is made with stripping on: the archives lose their debugging
# sections as the programs do (install(TARGETS) strips only those).
foreach(target ${lumivex_targets})
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:${target}>\")
    endif()" COMPONENT Development)
endforeach()

lumivex_header_closure(lumivex_public_headers ${PROJECT_SOURCE_DIR} ${LUMIVEX_PUBLIC_HEADER_ROOTS})
foreach(header ${lumivex_public_headers})
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${header} DESTINATION ${LUMIVEX_INSTALL_INCLUDEDIR}/${folder} COMPONENT Development)
endforeach()

# What the package's config must find before it can define our targets: every
# imported target an installed library links, by the package that makes it.
set(lumivex_qt_components)
set(lumivex_packages)
set(lumivex_pkg_modules)
foreach(target ${lumivex_targets})
  get_target_property(links ${target} LINK_LIBRARIES)
  get_target_property(interface_links ${target} INTERFACE_LINK_LIBRARIES)
  foreach(link ${links} ${interface_links})
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
    if(NOT TARGET "${link}")
      continue()
    endif()
    get_target_property(imported ${link} IMPORTED)
    if(NOT imported)
      continue()
    endif()
    string(REPLACE "::" ";" name_parts ${link})
    list(GET name_parts 0 package)
    list(GET name_parts 1 component)
    if(package STREQUAL "Qt6")
      list(APPEND lumivex_qt_components ${component})
    elseif(package STREQUAL "PkgConfig")
      list(APPEND lumivex_pkg_modules ${component})
    else()
      list(APPEND lumivex_packages ${package})
    endif()
  endforeach()
endforeach()
list(REMOVE_DUPLICATES lumivex_qt_components)
list(REMOVE_DUPLICATES lumivex_packages)
list(REMOVE_DUPLICATES lumivex_pkg_modules)

list(JOIN lumivex_qt_components " " qt_components)
set(LUMIVEX_CONFIG_DEPENDENCIES "find_dependency(Qt6 COMPONENTS ${qt_components})\n")
foreach(package ${lumivex_packages})
  string(APPEND LUMIVEX_CONFIG_DEPENDENCIES "find_dependency(${package})\n")
endforeach()
if(lumivex_pkg_modules)
  string(APPEND LUMIVEX_CONFIG_DEPENDENCIES "find_dependency(PkgConfig)\n")
  foreach(prefix ${lumivex_pkg_modules})
    set(modules ${__pkg_config_arguments_${prefix}})
    list(REMOVE_ITEM modules REQUIRED QUIET IMPORTED_TARGET GLOBAL NO_CMAKE_PATH NO_CMAKE_ENVIRONMENT_PATH)
    string(APPEND LUMIVEX_CONFIG_DEPENDENCIES
      "if(NOT TARGET PkgConfig::${prefix})\n  pkg_check_modules(${prefix} REQUIRED QUIET IMPORTED_TARGET ${modules})\nendif()\n")
  endforeach()
endif()

install(EXPORT LumivexTargets NAMESPACE Lumivex:: DESTINATION ${LUMIVEX_INSTALL_CMAKEDIR} COMPONENT Development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/LumivexConfig.cmake.in
  ${PROJECT_BINARY_DIR}/LumivexConfig.cmake INSTALL_DESTINATION ${LUMIVEX_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/LumivexConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/LumivexConfig.cmake ${PROJECT_BINARY_DIR}/LumivexConfigVersion.cmake
  DESTINATION ${LUMIVEX_INSTALL_CMAKEDIR} COMPONENT Development)

# pkg-config: the libraries top to bottom, so that a static link resolves.
# The packages behind the imported targets by their pkg-config names; what a
# shared library of ours hides from its users goes under the private fields.
set(LUMIVEX_PC_MODULE_OF_PACKAGE GIF=libgif TIFF=libtiff-4 JPEG=libjpeg ZLIB=zlib PNG=libpng16 WebP=libwebp)
set(LUMIVEX_PC_LIBS "")
set(lumivex_static FALSE)
foreach(target ${lumivex_targets})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "STATIC_LIBRARY")
    set(lumivex_static TRUE)
  endif()
  get_target_property(output_name ${target} OUTPUT_NAME)
  if(NOT output_name)
    set(output_name ${target})
  endif()
  string(PREPEND LUMIVEX_PC_LIBS " -l${output_name}")
endforeach()
set(public_modules)
foreach(component ${lumivex_qt_components})
  list(APPEND public_modules Qt6${component})
endforeach()
set(private_modules)
set(private_flags)
foreach(package ${lumivex_packages})
  if(package STREQUAL "Threads")
    list(APPEND private_flags -pthread)
    continue()
  endif()
  set(module "")
  foreach(entry ${LUMIVEX_PC_MODULE_OF_PACKAGE})
    if(entry MATCHES "^${package}=(.*)$")
      set(module ${CMAKE_MATCH_1})
    endif()
  endforeach()
  if(NOT module)
    message(FATAL_ERROR "cmake/LumivexInstall.cmake: the installed libraries link ${package}; "
      "add its pkg-config name to LUMIVEX_PC_MODULE_OF_PACKAGE")
  endif()
  list(APPEND private_modules ${module})
endforeach()
foreach(prefix ${lumivex_pkg_modules})
  set(modules ${__pkg_config_arguments_${prefix}})
  list(REMOVE_ITEM modules REQUIRED QUIET IMPORTED_TARGET GLOBAL NO_CMAKE_PATH NO_CMAKE_ENVIRONMENT_PATH)
  list(APPEND private_modules ${modules})
endforeach()
if(lumivex_static)
  # A static archive carries none of its own dependencies.
  list(APPEND public_modules ${private_modules})
  set(private_modules)
  list(JOIN private_flags " " flags)
  string(APPEND LUMIVEX_PC_LIBS " ${flags}")
  set(private_flags)
endif()
list(JOIN public_modules " " LUMIVEX_PC_REQUIRES)
list(JOIN private_modules " " LUMIVEX_PC_REQUIRES_PRIVATE)
list(JOIN private_flags " " LUMIVEX_PC_LIBS_PRIVATE)
# Relative to the file itself, so that an install under another prefix
# (cmake --install --prefix, a package) finds its own headers.
file(RELATIVE_PATH LUMIVEX_PC_PREFIX /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
configure_file(${CMAKE_CURRENT_LIST_DIR}/lumivex.pc.in ${PROJECT_BINARY_DIR}/lumivex.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/lumivex.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)
