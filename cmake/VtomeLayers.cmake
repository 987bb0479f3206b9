# Every library of vTome sees only the headers of the layers it links. Its
# public include directory, under the build tree, holds links to its own
# headers and nothing else, so an include of a layer above it (or of a layer
# it does not link) names no file and the build stops there.
#
#   vtome_public_headers(<target> <prefix>)
#
# makes the headers of the current source folder includable as
# "<prefix>/<name>.h" by the target and by everything that links it.
function(vtome_public_headers target prefix)
  set(root "${CMAKE_BINARY_DIR}/include/${target}")
  file(REMOVE_RECURSE "${root}")
  file(MAKE_DIRECTORY "${root}/${prefix}")
  file(GLOB headers CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  foreach(header IN LISTS headers)
    get_filename_component(name "${header}" NAME)
    file(CREATE_LINK "${header}" "${root}/${prefix}/${name}" SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC "${root}")
endfunction()
