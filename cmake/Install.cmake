# Installation: the tool, the static library with its headers under
# include/quillmap/, a CMake package (quillmap::toolkit), a pkg-config file and
# the manual page.
include(CMakePackageConfigHelpers)

set(QUILLMAP_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/quillmap)

install(TARGETS quillmap_toolkit EXPORT quillmapTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
if(TARGET quillmap)
  install(TARGETS quillmap RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The public headers only: the tokenizer, formatter, walk and algebra helpers
# behind gridio/ and maptools/ stay private to the library.
install(DIRECTORY grid numeric
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quillmap
  FILES_MATCHING PATTERN "*.h")
install(FILES gridio/TARCGISFileTools.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quillmap/gridio)
install(FILES maptools/TMapTools.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quillmap/maptools)
install(EXPORT quillmapTargets NAMESPACE quillmap:: DESTINATION ${QUILLMAP_CMAKE_DIR})

configure_package_config_file(cmake/quillmapConfig.cmake.in
  ${PROJECT_BINARY_DIR}/quillmapConfig.cmake INSTALL_DESTINATION ${QUILLMAP_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/quillmapConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/quillmapConfig.cmake
  ${PROJECT_BINARY_DIR}/quillmapConfigVersion.cmake DESTINATION ${QUILLMAP_CMAKE_DIR})

configure_file(cmake/quillmap.pc.in ${PROJECT_BINARY_DIR}/quillmap.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/quillmap.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES doc/quillmap.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
