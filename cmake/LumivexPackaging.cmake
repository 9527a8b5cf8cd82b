# What a Debian user expects besides the programs (manual pages, a bash
# completion, the copyright and changelog files) and the .deb packages made by
# CPack: "lumivex" (programs, desktop entry, metainfo, icons, manuals) and
# "lumivex-dev" (headers, libraries, CMake and pkg-config files, the Designer
# plugin).
#   cmake --build build --target package     -> build/lumivex_VERSION_amd64.deb ...
set(LUMIVEX_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(LUMIVEX_MAINTAINER "Lumivex developers <developers@lumivex.invalid>")
find_program(LUMIVEX_GZIP gzip REQUIRED)

# Dates from SOURCE_DATE_EPOCH when it is set, so that a rebuild is identical.
string(TIMESTAMP LUMIVEX_MANUAL_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP LUMIVEX_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)

# Files compressed as Debian ships them: gzip -9n, no name or time inside.
set(lumivex_compressed)
function(lumivex_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${LUMIVEX_GZIP} -9nc ${source} > ${output}
    DEPENDS ${source} VERBATIM)
  set(lumivex_compressed ${lumivex_compressed} ${output} PARENT_SCOPE)
endfunction()

foreach(page lumivex lumivex-cli)
  configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page}.1.in ${PROJECT_BINARY_DIR}/man/${page}.1 @ONLY)
  lumivex_gzip(${PROJECT_BINARY_DIR}/man/${page}.1 ${PROJECT_BINARY_DIR}/man/${page}.1.gz)
  install(FILES ${PROJECT_BINARY_DIR}/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT Runtime)
endforeach()

install(FILES ${LUMIVEX_PACKAGING_DIR}/bash-completion/lumivex-cli
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT Runtime)

foreach(component Runtime Development)
  if(component STREQUAL "Runtime")
    set(LUMIVEX_DEB_PACKAGE lumivex)
  else()
    set(LUMIVEX_DEB_PACKAGE lumivex-dev)
  endif()
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${LUMIVEX_MAINTAINER})
  configure_file(${LUMIVEX_PACKAGING_DIR}/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/${LUMIVEX_DEB_PACKAGE}/changelog @ONLY)
  lumivex_gzip(${PROJECT_BINARY_DIR}/debian/${LUMIVEX_DEB_PACKAGE}/changelog
    ${PROJECT_BINARY_DIR}/debian/${LUMIVEX_DEB_PACKAGE}/changelog.gz)
  install(FILES ${LUMIVEX_PACKAGING_DIR}/debian/copyright ${PROJECT_BINARY_DIR}/debian/${LUMIVEX_DEB_PACKAGE}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${LUMIVEX_DEB_PACKAGE} COMPONENT ${component})
endforeach()
add_custom_target(lumivex_packaging_files ALL DEPENDS ${lumivex_compressed})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumivex)
set(CPACK_PACKAGE_VENDOR "Lumivex developers")
set(CPACK_PACKAGE_CONTACT ${LUMIVEX_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${LUMIVEX_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Runtime Development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs load, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME lumivex)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION graphics)
# TIFF is read through a Qt plugin, loaded without a link to it (libtiff writes it).
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS "qt6-image-formats-plugins")
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "make reflection images of pictures and text
Lumivex draws a picture, or a line of formatted text, above a mirrored copy
of itself that fades out, as if it stood on a glossy floor. Four sliders set
the reflection's size, its opacity where it starts and where it ends, and its
distance from the picture; the result is saved as PNG, JPEG, GIF, BMP or TIFF.
.
The package holds the desktop program, lumivex, and lumivex-cli, which makes
the same reflections in batches without a window, and the module through
which both read HEIC and AVIF and write AVIF.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME lumivex-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
  "qt6-base-dev, libgif-dev, libtiff-dev, libjpeg-dev, zlib1g-dev, libdeflate-dev, libwebp-dev, liblcms2-dev, libexif-dev, pkg-config")
if(ISAL_FOUND)
  string(APPEND CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS ", libisal-dev")
endif()
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "reflection image and label widgets for Qt 6 (development files)
The reflection controls of Lumivex as a library for other programs: a picture,
or a line of text written in an HTML-like markup, drawn above its mirrored,
fading copy.
.
The package holds the headers, static libraries, the CMake package
(find_package(Lumivex)), a pkg-config file and a Qt Designer plugin that
offers both controls in the widget box.")

include(CPack)
