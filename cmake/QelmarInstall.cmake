# What `cmake --install` puts under the prefix. Two packages:
#   QmSdkDialogsIo  the dialogs library, the property libraries it exposes and the host
#                   interface headers, for a host application;
#   QmSdkStandin    our stand-in kernel and framework, for a host's tests and the example,
#                   installed as a component of its own and never required by the first.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(QELMAR_INCLUDE_DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/qelmar)
set(QELMAR_DIALOGS_CMAKE_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/QmSdkDialogsIo)
set(QELMAR_STANDIN_CMAKE_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/QmSdkStandin)

# While the version is 0.x every minor release may break the interface, so the SONAME carries
# the major version only from 1.0 on.
set(shared_libraries qmsdkdialogs_io_qt qelpropertycore qelpropertywidgets qelpropertybindings qmsdkbase qmexportengine qmframework
                     qmloaders)
set_target_properties(${shared_libraries} PROPERTIES
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
  # The libraries find each other beside themselves, wherever the prefix is moved.
  INSTALL_RPATH "$ORIGIN")

# Exports a package's targets (the export set <package>Targets, the component <package>) with its
# config file from <package>Config.cmake.in and a version file.
function(qelmar_install_package package destination)
  install(EXPORT ${package}Targets NAMESPACE ${package}:: DESTINATION ${destination} COMPONENT ${package})
  configure_package_config_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${package}Config.cmake.in
    ${PROJECT_BINARY_DIR}/${package}Config.cmake INSTALL_DESTINATION ${destination})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/${package}ConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/${package}Config.cmake ${PROJECT_BINARY_DIR}/${package}ConfigVersion.cmake
    DESTINATION ${destination} COMPONENT ${package})
endfunction()

# ---- QmSdkDialogsIo ---------------------------------------------------------------------------
set(dialogs_targets qmsdkdialogs_io_qt qelpropertycore qelpropertywidgets qelpropertybindings qelhost)
install(TARGETS ${dialogs_targets} EXPORT QmSdkDialogsIoTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT QmSdkDialogsIo NAMELINK_COMPONENT QmSdkDialogsIo
  INCLUDES DESTINATION ${QELMAR_INCLUDE_DESTINATION})
# The headers of the exported dialog classes and of the host interfaces, with every header of
# src/ and of the property framework they include.
install(CODE "
  set(QELMAR_HEADER_ROOTS \"${PROJECT_SOURCE_DIR}/src/host/*.h\")
  set(QELMAR_HEADER_MARKED_ROOTS \"${PROJECT_SOURCE_DIR}/src/*/*.h\")
  set(QELMAR_HEADER_ROOT_MATCH \"class QELMAR_DIALOGS_EXPORT\")
  set(QELMAR_HEADER_BASE \"${PROJECT_SOURCE_DIR}/src;${PROJECT_SOURCE_DIR}\")
  set(QELMAR_HEADER_ELSEWHERE \"\")
  set(QELMAR_HEADER_DESTINATION \"${QELMAR_INCLUDE_DESTINATION}\")
  include(\"${CMAKE_CURRENT_LIST_DIR}/QelmarInstallHeaders.cmake\")
  " COMPONENT QmSdkDialogsIo)
qelmar_install_package(QmSdkDialogsIo ${QELMAR_DIALOGS_CMAKE_DESTINATION})
file(RELATIVE_PATH QELMAR_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/qmsdkdialogs_io_qt.pc.in ${PROJECT_BINARY_DIR}/qmsdkdialogs_io_qt.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/qmsdkdialogs_io_qt.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT QmSdkDialogsIo)

# ---- QmSdkStandin -----------------------------------------------------------------------------
install(TARGETS qmsdkbase qmexportengine qmframework qmloaders qmsdkbase_testing EXPORT QmSdkStandinTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT QmSdkStandin NAMELINK_COMPONENT QmSdkStandin
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT QmSdkStandin
  INCLUDES DESTINATION ${QELMAR_INCLUDE_DESTINATION}/standin)
# What a host's tests use: the kernel's testing controls and the standard data loaders, with the
# stand-in headers they include.
install(CODE "
  set(QELMAR_HEADER_ROOTS \"${PROJECT_SOURCE_DIR}/standin/kernel/testing/*.h;${PROJECT_SOURCE_DIR}/standin/loaders/StandardDataLoaders.h\")
  set(QELMAR_HEADER_MARKED_ROOTS \"\")
  set(QELMAR_HEADER_BASE \"${PROJECT_SOURCE_DIR}/standin\")
  set(QELMAR_HEADER_ELSEWHERE \"${PROJECT_SOURCE_DIR}/src;${PROJECT_SOURCE_DIR}\")
  set(QELMAR_HEADER_DESTINATION \"${QELMAR_INCLUDE_DESTINATION}/standin\")
  include(\"${CMAKE_CURRENT_LIST_DIR}/QelmarInstallHeaders.cmake\")
  " COMPONENT QmSdkStandin)
qelmar_install_package(QmSdkStandin ${QELMAR_STANDIN_CMAKE_DESTINATION})
