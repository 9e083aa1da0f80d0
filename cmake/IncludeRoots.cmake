# Each library exports its own folder only: `punktivo_include_root(target folder)` makes a
# folder under the build tree that holds one link, <folder> -> the source folder, and puts it on
# the target's public include path. "engine/board_model.h" is then found by whoever links the
# engine, and "app/menu.h" by nobody below app/: an include against the layers fails to compile.
# The programs on top (tools, tests, benchmarks, fuzz targets) see the whole tree.
function(punktivo_include_root target folder)
  set(root "${PROJECT_BINARY_DIR}/include-roots/${folder}")
  if(NOT EXISTS "${root}/${folder}")
    file(MAKE_DIRECTORY "${root}")
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/${folder}" "${root}/${folder}" SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC "${root}")
endfunction()
