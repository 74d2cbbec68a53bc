# Used instead of Qt 6 when the build is against Qt 5 (cmake/QelmarQt.cmake): finds the Qt 5
# components asked for and names their targets Qt6::<component>.
find_package(Qt5 5.15 REQUIRED COMPONENTS ${Qt6_FIND_COMPONENTS})
foreach(component IN LISTS Qt6_FIND_COMPONENTS)
  if(NOT TARGET Qt6::${component})
    add_library(Qt6::${component} INTERFACE IMPORTED)
    target_link_libraries(Qt6::${component} INTERFACE Qt5::${component})
  endif()
  set(Qt6${component}_FOUND TRUE)
endforeach()
set(Qt6_FOUND TRUE)
