# Fails when a source file includes a folder above its own. The folders are layers, lowest
# first: platform, txl, doc, data, report, then editor and app side by side; a file may
# include its own folder and any folder below it. tests/, bench/ and fuzz/ may include
# anything and are not read.
#
#   cmake -DROOT=<source folder> -P check_include_layers.cmake
#   cmake -DSELF_CHECK=<scratch folder> -P check_include_layers.cmake
#
# SELF_CHECK writes a small tree with known faults into the scratch folder and fails unless
# exactly those faults are found.
cmake_minimum_required(VERSION 3.25)

set(layer_platform 0)
set(layer_txl 1)
set(layer_doc 2)
set(layer_data 3)
set(layer_report 4)
set(layer_editor 5)
set(layer_app 5)
set(layer_folders platform txl doc data report editor app)

# Appends "FILE: ..." to `out_var` for every include in `file` (a path relative to `root`,
# inside folder `folder`) that reaches a layer the folder must not include. Only the include
# lines are read, so no other text of the file can disturb the list.
function(check_file root file folder out_var)
  set(found ${${out_var}})
  file(STRINGS "${root}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][A-Za-z_]+/")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "include[ \t]*[<\"]([A-Za-z_]+)/([^\">]*)" match "${line}")
    set(target ${CMAKE_MATCH_1})
    if(NOT DEFINED layer_${target} OR target STREQUAL folder)
      continue()
    endif()
    if(layer_${target} LESS layer_${folder})
      continue()
    endif()
    list(APPEND found "${file}: includes ${target}/${CMAKE_MATCH_2}: ${folder}/ must not include ${target}/")
  endforeach()
  set(${out_var} ${found} PARENT_SCOPE)
endfunction()

# Every fault under the layer folders of `root`, sorted.
function(check_tree root out_var)
  set(found "")
  foreach(folder IN LISTS layer_folders)
    file(GLOB_RECURSE files RELATIVE "${root}" "${root}/${folder}/*.h" "${root}/${folder}/*.hpp"
         "${root}/${folder}/*.cpp" "${root}/${folder}/*.c" "${root}/${folder}/*.y")
    foreach(file IN LISTS files)
      if(file MATCHES "/node_modules/")
        continue()
      endif()
      check_file("${root}" "${file}" ${folder} found)
    endforeach()
  endforeach()
  list(SORT found)
  set(${out_var} ${found} PARENT_SCOPE)
endfunction()

# Writes the self-check tree: two faults among allowed includes of every kind.
function(write_fixture root)
  file(REMOVE_RECURSE "${root}")
  file(WRITE "${root}/platform/gdi/bad.h" "#pragma once\n#include <vector>\n#include \"platform/com/unknown.h\"\n  #  include \"doc/style_values.h\"\n")
  file(WRITE "${root}/txl/ok.cpp" "#include \"txl/value.h\"\n#include \"platform/crt/char_class.h\"\n")
  file(WRITE "${root}/report/ok.cpp" "#include \"data/kov_values.h\"\n#include \"doc/html_model.h\"\n")
  file(WRITE "${root}/app/bad.cpp" "#include \"report/htdoc_processor.h\"\n#include \"editor/server.h\"\n")
  file(WRITE "${root}/tests/doc/any_test.cpp" "#include \"report/htdoc_processor.h\"\n")
endfunction()

if(DEFINED SELF_CHECK)
  write_fixture("${SELF_CHECK}")
  check_tree("${SELF_CHECK}" found)
  set(expected
      "app/bad.cpp: includes editor/server.h: app/ must not include editor/"
      "platform/gdi/bad.h: includes doc/style_values.h: platform/ must not include doc/")
  if(NOT found STREQUAL expected)
    string(REPLACE ";" "\n  " found_text "${found}")
    message(FATAL_ERROR "the include check missed or misreported the fixture's faults; found:\n  ${found_text}")
  endif()
  message(STATUS "the include check finds the fixture's two faults")
  return()
endif()

if(NOT DEFINED ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<source folder> -P check_include_layers.cmake")
endif()
check_tree("${ROOT}" found)
if(found)
  string(REPLACE ";" "\n  " found_text "${found}")
  message(FATAL_ERROR "includes against the layer order (platform, txl, doc, data, report, editor/app):\n  ${found_text}")
endif()
message(STATUS "every include points down the layer order")
