# What `cmake --install` puts under the prefix on Linux: the C headers,
# libTarvoCulling.so with its SONAME links, otcull, a CMake package giving
# TarvoCulling::TarvoCulling, and tarvo-culling.pc for pkg-config.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(tarvo_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/TarvoCulling)
set(tarvo_pkgconfig_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(TARGETS TarvoCulling EXPORT TarvoCullingTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/tarvo TYPE INCLUDE)
if(TARGET otcull)
  install(TARGETS otcull)
endif()

install(EXPORT TarvoCullingTargets NAMESPACE TarvoCulling:: DESTINATION ${tarvo_cmake_dir})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TarvoCullingConfig.cmake.in
  ${PROJECT_BINARY_DIR}/TarvoCullingConfig.cmake INSTALL_DESTINATION ${tarvo_cmake_dir})
# 0.x releases promise nothing across minor versions.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TarvoCullingConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TarvoCullingConfig.cmake
  ${PROJECT_BINARY_DIR}/TarvoCullingConfigVersion.cmake DESTINATION ${tarvo_cmake_dir})

# The .pc file finds the prefix from its own place, so that the tree can be
# installed with any --prefix and moved.
file(RELATIVE_PATH tarvo_pc_to_prefix /root/${tarvo_pkgconfig_dir} /root)
string(REGEX REPLACE "/$" "" tarvo_pc_to_prefix "${tarvo_pc_to_prefix}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/tarvo-culling.pc.in
  ${PROJECT_BINARY_DIR}/tarvo-culling.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tarvo-culling.pc DESTINATION ${tarvo_pkgconfig_dir})
