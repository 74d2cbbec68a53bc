# Run by `cmake --install`: installs the headers a consumer compiles against. They are found by
# following the quoted includes of a few root headers, so a header that a public class starts
# to include is installed without a list to keep. Runs at install time so that it always sees
# the headers as they are now, and so that editing a header never makes CMake configure again.
#
# In: QELMAR_HEADER_ROOTS        globs of root headers
#     QELMAR_HEADER_MARKED_ROOTS globs of headers that are roots when they contain...
#     QELMAR_HEADER_ROOT_MATCH   ...this regex
#     QELMAR_HEADER_BASE         the folders include paths are relative to, innermost first;
#                                what is installed
#     QELMAR_HEADER_ELSEWHERE    folders whose headers another package installs: not followed
#     QELMAR_HEADER_DESTINATION  where under the prefix the base folder goes

# The install script itself runs under the oldest policies.
cmake_policy(PUSH)
cmake_policy(VERSION 3.25)

file(GLOB pending ${QELMAR_HEADER_ROOTS})
if(QELMAR_HEADER_MARKED_ROOTS)
  file(GLOB candidates ${QELMAR_HEADER_MARKED_ROOTS})
  foreach(candidate IN LISTS candidates)
    file(STRINGS ${candidate} marked REGEX "${QELMAR_HEADER_ROOT_MATCH}")
    if(marked)
      list(APPEND pending ${candidate})
    endif()
  endforeach()
endif()

function(qelmar_resolve_include out including included)
  get_filename_component(including_dir ${including} DIRECTORY)
  foreach(base ${QELMAR_HEADER_BASE} ${including_dir})
    if(EXISTS ${base}/${included})
      get_filename_component(resolved ${base}/${included} ABSOLUTE)
      set(${out} ${resolved} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  foreach(base ${QELMAR_HEADER_ELSEWHERE})
    if(EXISTS ${base}/${included})
      set(${out} "" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "${including} includes \"${included}\", which is in none of the installed folders")
endfunction()

set(installed)
while(pending)
  list(POP_FRONT pending header)
  if(header IN_LIST installed)
    continue()
  endif()
  list(APPEND installed ${header})
  file(STRINGS ${header} include_lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS include_lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" included "${line}")
    qelmar_resolve_include(resolved ${header} ${included})
    if(resolved)
      list(APPEND pending ${resolved})
    endif()
  endforeach()
endwhile()

list(SORT installed)
foreach(header IN LISTS installed)
  foreach(base IN LISTS QELMAR_HEADER_BASE)
    string(FIND "${header}" "${base}/" at)
    if(at EQUAL 0)
      file(RELATIVE_PATH relative ${base} ${header})
      break()
    endif()
  endforeach()
  get_filename_component(relative_dir ${relative} DIRECTORY)
  file(INSTALL ${header} DESTINATION "${CMAKE_INSTALL_PREFIX}/${QELMAR_HEADER_DESTINATION}/${relative_dir}")
endforeach()

cmake_policy(POP)
