# Common settings for every target of the project.
function(qelmar_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS)
endfunction()

# Collects the sources of one folder (not its subfolders), so that adding a class is adding files.
function(qelmar_collect_sources out dir)
  file(GLOB sources CONFIGURE_DEPENDS
    ${dir}/*.cpp ${dir}/*.h ${dir}/*.ui ${dir}/*.qrc)
  set(${out} ${sources} PARENT_SCOPE)
endfunction()
