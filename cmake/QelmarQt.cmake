# The one place that knows which Qt the build uses: QELMAR_QT_MAJOR, 6 or 5 (5.15 at least).
# The project's targets link Qt's versionless targets (Qt::Widgets), which both versions define,
# and the installed packages ask for the same version the libraries were built with.
set(QELMAR_QT_MAJOR 6 CACHE STRING "Major version of Qt to build against: 6 or 5")
set_property(CACHE QELMAR_QT_MAJOR PROPERTY STRINGS 6 5)
set(QELMAR_QT_MINIMUM_6 6.4)
set(QELMAR_QT_MINIMUM_5 5.15)
if(NOT DEFINED QELMAR_QT_MINIMUM_${QELMAR_QT_MAJOR})
  message(FATAL_ERROR "QELMAR_QT_MAJOR is ${QELMAR_QT_MAJOR}; it must be 6 or 5")
endif()
set(QELMAR_QT_MINIMUM ${QELMAR_QT_MINIMUM_${QELMAR_QT_MAJOR}})

if(QELMAR_QT_MAJOR EQUAL 5)
  # Folders that still ask for Qt6 by name (tests, demo, benchmarks) get a package that finds
  # Qt 5 and gives its targets the Qt6:: names.
  set(Qt6_DIR ${CMAKE_CURRENT_LIST_DIR}/qt5 CACHE PATH "Qt 6 named targets over Qt 5" FORCE)
  # Without what Qt 5 deprecated, its signals lose the overloads Qt 6 dropped, so that
  # &QComboBox::activated and the like name one function in both.
  add_compile_definitions(QT_DISABLE_DEPRECATED_BEFORE=0x050F00)
  # Qt 6 names of Qt 5 classes, for the few sources that use them.
  include_directories(SYSTEM ${CMAKE_CURRENT_LIST_DIR}/qt5/include)
endif()
find_package(Qt${QELMAR_QT_MAJOR} ${QELMAR_QT_MINIMUM} REQUIRED COMPONENTS Core Gui Widgets)
if(QELMAR_QT_MAJOR EQUAL 5)
  find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
endif()
