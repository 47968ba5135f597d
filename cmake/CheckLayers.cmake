# cmake -DSOURCE_DIR=... -P CheckLayers.cmake
# Fails, naming file and line, if a product source includes a header from a folder its
# layer may not see. The build refuses such an include already where the file is
# compiled; this also covers headers that only higher layers or the tests compile.
cmake_minimum_required(VERSION 3.22)
include(${CMAKE_CURRENT_LIST_DIR}/TindrelLayers.cmake)

set(bad "")
foreach(layer IN LISTS TINDREL_LAYERS ITEMS cli)
  tindrel_layers_seen_by(${layer} seen)
  file(GLOB files ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp)
  foreach(file IN LISTS files)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][A-Za-z_]+/")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([A-Za-z_]+)/.*" "\\1" folder "${line}")
      if(folder IN_LIST TINDREL_LAYERS OR folder STREQUAL "cli")
        if(NOT folder IN_LIST seen)
          file(RELATIVE_PATH name ${SOURCE_DIR} ${file})
          string(APPEND bad "${name}: ${line}\n")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(bad)
  message(FATAL_ERROR "Includes from a higher layer:\n${bad}")
endif()
