# The layers, lowest first. Each may include its own folder and the ones before it, and
# cli/ (beside app/) may include base/, library/ and config/ only.
#
# tindrel_layer_includes(TARGET LAYER) gives TARGET an include folder in the build tree
# that holds links named after the folders LAYER may see and nothing else, so that
# `#include "app/X.h"` written in ui/ fails with "No such file" instead of building.
set(TINDREL_LAYERS base library config ui tools browser app)
set(TINDREL_LAYERS_SEEN_BY_cli base library config cli)

# The folders LAYER may include, in OUT.
function(tindrel_layers_seen_by layer out)
  if(DEFINED TINDREL_LAYERS_SEEN_BY_${layer})
    set(seen ${TINDREL_LAYERS_SEEN_BY_${layer}})
  else()
    list(FIND TINDREL_LAYERS ${layer} index)
    if(index LESS 0)
      message(FATAL_ERROR "Unknown layer '${layer}'")
    endif()
    list(SUBLIST TINDREL_LAYERS 0 ${index} seen)
    list(APPEND seen ${layer})
  endif()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(tindrel_layer_includes target layer)
  tindrel_layers_seen_by(${layer} seen)
  set(dir "${CMAKE_BINARY_DIR}/layers/${layer}")
  file(MAKE_DIRECTORY "${dir}")
  foreach(name IN LISTS TINDREL_LAYERS ITEMS cli)
    if(name IN_LIST seen)
      file(CREATE_LINK "${CMAKE_SOURCE_DIR}/${name}" "${dir}/${name}" RESULT failed SYMBOLIC)
      if(failed)
        message(FATAL_ERROR "Cannot link ${dir}/${name} to ${CMAKE_SOURCE_DIR}/${name}: ${failed}")
      endif()
    elseif(IS_SYMLINK "${dir}/${name}")
      # Left over from an earlier configuration: the link goes, never what it points to.
      file(REMOVE "${dir}/${name}")
    endif()
  endforeach()

  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_include_directories(${target} PRIVATE "${dir}")
  else()
    target_include_directories(${target} PUBLIC "${dir}")
  endif()
endfunction()
