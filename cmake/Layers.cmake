# The program is built as a stack of layers, one CMake library each, every layer
# linking only the layers below it:
#
#   text -> platform -> settings, session -> net -> protocol -> tunnel -> app -> ui/win32
#   (resources: the resource IDs, below everything)
#
# The source root is never an include directory. Each layer's headers are reachable
# only through a staging directory of its own (build/layers/<layer>/<folder> is a link
# to the source folder), which reaches a target only by linking that layer. So an
# include of a layer above, or beside, is a build error: "fatal error: protocol/...:
# No such file or directory".
function(tunra_add_layer name)
  cmake_parse_arguments(L "HEADER_ONLY" "FOLDER" "DEPENDS" ${ARGN})
  if(NOT L_FOLDER)
    set(L_FOLDER ${name})
  endif()
  set(stage ${CMAKE_BINARY_DIR}/layers/${name})
  get_filename_component(parent ${stage}/${L_FOLDER} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT EXISTS ${stage}/${L_FOLDER})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${L_FOLDER} ${stage}/${L_FOLDER} SYMBOLIC)
  endif()
  if(L_HEADER_ONLY)
    add_library(tunra_${name} INTERFACE)
    target_include_directories(tunra_${name} INTERFACE ${stage})
    target_link_libraries(tunra_${name} INTERFACE ${L_DEPENDS})
  else()
    add_library(tunra_${name} STATIC)
    target_include_directories(tunra_${name} PUBLIC ${stage})
    target_link_libraries(tunra_${name} PUBLIC ${L_DEPENDS})
    tunra_set_warnings(tunra_${name})
  endif()
endfunction()
