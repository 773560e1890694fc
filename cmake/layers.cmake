# The layers, bottom up: core/base, core/gfx, core/ports, core/report, app
# (start-up), app/scene and app/dialogs side by side, app/forms, resources,
# the front ends; tests, tools and bench above them all. Includes
# name the file from the repository root ("core/gfx/surface.h"), and each
# library compiles against an include root of its own in the build tree that
# holds links to its own folder and the folders below it and nothing else:
# an #include that runs upwards or sideways names a file that is not there,
# and the build stops.

# sarvel_layer(<target> SEES <folder>...): <folder>s relative to the
# repository root, the target's own among them; <folder>/* stands for the
# files of a folder without its subfolders (app/* is the start-up layer, whose
# subfolders are layers of their own). The root is PUBLIC, so a library's
# users see what it sees: never more than they see themselves.
function(sarvel_layer target)
  cmake_parse_arguments(L "" "" "SEES" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${root})
  foreach(folder ${L_SEES})
    string(REGEX REPLACE "/\\*$" "" dir ${folder})
    if(NOT IS_DIRECTORY ${CMAKE_SOURCE_DIR}/${dir})
      message(FATAL_ERROR "sarvel_layer(${target}): no folder ${dir}")
    endif()
    if(dir STREQUAL folder)
      get_filename_component(parent ${root}/${dir} DIRECTORY)
      file(MAKE_DIRECTORY ${parent})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${dir} ${root}/${dir} SYMBOLIC)
      continue()
    endif()
    file(MAKE_DIRECTORY ${root}/${dir})
    file(GLOB files LIST_DIRECTORIES false CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*)
    foreach(f ${files})
      get_filename_component(name ${f} NAME)
      file(CREATE_LINK ${f} ${root}/${dir}/${name} SYMBOLIC)
    endforeach()
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_include_directories(${target} PRIVATE ${root})
  elseif(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# What each layer sees, for the libraries and programs of that layer.
set(SARVEL_SEES_BASE core/base)
set(SARVEL_SEES_GFX ${SARVEL_SEES_BASE} core/gfx)
set(SARVEL_SEES_PORTS ${SARVEL_SEES_GFX} core/ports)
set(SARVEL_SEES_REPORT ${SARVEL_SEES_PORTS} core/report)
set(SARVEL_SEES_APP ${SARVEL_SEES_REPORT} app/*)
set(SARVEL_SEES_SCENE ${SARVEL_SEES_APP} app/scene)
set(SARVEL_SEES_DIALOGS ${SARVEL_SEES_APP} app/dialogs)
set(SARVEL_SEES_APP_FORMS ${SARVEL_SEES_APP} app/scene app/dialogs app/forms)
set(SARVEL_SEES_RESOURCES ${SARVEL_SEES_APP} resources)
# What a front end sees: the whole program and the art.
set(SARVEL_SEES_FRONTEND ${SARVEL_SEES_APP_FORMS} resources)

# sarvel_layer_headers(<target> <folder>): every header of <folder> compiled
# on its own against <target>'s include root, so that a header that no source
# of its layer includes cannot reach upwards unnoticed either.
function(sarvel_layer_headers target folder)
  if(folder MATCHES "/\\*$")
    string(REGEX REPLACE "/\\*$" "" folder ${folder})
    file(GLOB headers RELATIVE ${CMAKE_SOURCE_DIR} CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  else()
    file(GLOB_RECURSE headers RELATIVE ${CMAKE_SOURCE_DIR} CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  endif()
  set(sources "")
  foreach(h ${headers})
    string(MAKE_C_IDENTIFIER ${h} name)
    set(tu ${CMAKE_BINARY_DIR}/layers/headers/${name}.cpp)
    if(NOT EXISTS ${tu})
      file(WRITE ${tu} "#include \"${h}\"\n")
    endif()
    list(APPEND sources ${tu})
  endforeach()
  add_library(${target}_headers OBJECT ${sources})
  target_link_libraries(${target}_headers PRIVATE ${target})
endfunction()
