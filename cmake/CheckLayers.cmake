# brindle_check_layers(target [CORE] [BELOW lower-target...] FOLDERS folder...)
#
# Fails the build of target when one of its files includes a file of its own
# library from a folder further down FOLDERS (the layers run one way: a folder
# may include its own and earlier folders), and, for CORE, when a file
# includes a widget header or any file of the shell that is not itself part of
# the core. Files of the BELOW targets may be included from every folder.
function(brindle_check_layers target)
  cmake_parse_arguments(L "CORE" "" "BELOW;FOLDERS" ${ARGN})
  get_target_property(sources ${target} SOURCES)
  get_target_property(root ${target} SOURCE_DIR)
  set(below "")
  foreach(lower ${L_BELOW})
    get_target_property(lower_sources ${lower} SOURCES)
    get_target_property(lower_root ${lower} SOURCE_DIR)
    foreach(source ${lower_sources})
      if(NOT IS_ABSOLUTE "${source}")
        set(source "${lower_root}/${source}")
      endif()
      list(APPEND below "${source}")
    endforeach()
  endforeach()
  set(widget_dirs ${PROJECT_SOURCE_DIR}/pellet)
  foreach(qt Qt6::Widgets Qt6::PrintSupport Qt6::WebEngineWidgets)
    if(TARGET ${qt})
      get_target_property(dirs ${qt} INTERFACE_INCLUDE_DIRECTORIES)
      foreach(dir ${dirs})
        if(dir MATCHES "/Qt(Widgets|PrintSupport|WebEngineWidgets)$")
          list(APPEND widget_dirs ${dir})
        endif()
      endforeach()
    endif()
  endforeach()

  set(config ${CMAKE_CURRENT_BINARY_DIR}/${target}_layers.cmake)
  file(WRITE ${config}
    "set(ROOT \"${root}\")\n"
    "set(SOURCES \"${sources}\")\n"
    "set(BELOW \"${below}\")\n"
    "set(FOLDERS \"${L_FOLDERS}\")\n"
    "set(CORE ${L_CORE})\n"
    "set(WIDGET_DIRS \"${widget_dirs}\")\n")
  set(absolute "")
  foreach(source ${sources})
    list(APPEND absolute ${root}/${source})
  endforeach()
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_layers.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DCONFIG=${config} -DSTAMP=${stamp}
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayersRun.cmake
    DEPENDS ${absolute} ${config} ${PROJECT_SOURCE_DIR}/cmake/CheckLayersRun.cmake
    COMMENT "Checking the layers of ${target}"
    VERBATIM)
  add_custom_target(${target}_layers DEPENDS ${stamp})
  add_dependencies(${target} ${target}_layers)
endfunction()
