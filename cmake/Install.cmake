# Installation: the tool, the static library with its headers under
# include/quillmap/, a CMake package (quillmap::toolkit), a pkg-config file and
# the manual page.
include(CMakePackageConfigHelpers)

set(QUILLMAP_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/quillmap)

# The headers are the library's public file set (QUILLMAP_PUBLIC_HEADERS);
# the tokenizer, text layer, walk and algebra helpers stay private.
install(TARGETS quillmap_toolkit EXPORT quillmapTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quillmap)
if(TARGET quillmap)
  install(TARGETS quillmap RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(EXPORT quillmapTargets NAMESPACE quillmap:: DESTINATION ${QUILLMAP_CMAKE_DIR})

# The static library brings libtiff's symbols to whoever links it.
set(QUILLMAP_GEOTIFF_DEPENDENCY "")
set(QUILLMAP_PC_REQUIRES "")
set(QUILLMAP_PC_DEFINITIONS "")
if(QUILLMAP_WITH_GEOTIFF)
  set(QUILLMAP_GEOTIFF_DEPENDENCY "find_dependency(TIFF 4.5)")
  set(QUILLMAP_PC_REQUIRES "Requires: libtiff-4")
  set(QUILLMAP_PC_DEFINITIONS " -DQUILLMAP_HAS_GEOTIFF=1")
endif()
configure_package_config_file(cmake/quillmapConfig.cmake.in
  ${PROJECT_BINARY_DIR}/quillmapConfig.cmake INSTALL_DESTINATION ${QUILLMAP_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/quillmapConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/quillmapConfig.cmake
  ${PROJECT_BINARY_DIR}/quillmapConfigVersion.cmake DESTINATION ${QUILLMAP_CMAKE_DIR})

configure_file(cmake/quillmap.pc.in ${PROJECT_BINARY_DIR}/quillmap.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/quillmap.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES doc/quillmap.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
