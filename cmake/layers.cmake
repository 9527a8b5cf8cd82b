# The layers, bottom to top, one entry a line: folder:library:the layers it
# links directly (those layers' own lower layers come with them). A layer
# may include from, and link, only what this list puts below it. The top
# CMakeLists.txt checks the libraries' links against it and
# tools/check_layers.sh checks the includes, the CMake files and the
# top-level folders, so keep the one-entry-a-line form.
set(LUMIVEX_LAYERS
  toolkit:lumivex_toolkit:
  toolkit/widgets:lumivex_toolkit_widgets:toolkit
  imaging:lumivex_imaging:toolkit
  pictures:lumivex_pictures:imaging
  markup:lumivex_markup:pictures
  markup/label:lumivex_markup_label:markup
  controls:lumivex_controls:markup/label,toolkit/widgets
  cli:lumivex_cli:markup/label
  app:lumivex_app:controls
  designer:lumivex_designer:controls
)

# Top-level folders that are no layer: no layer may include from or link
# them, and they may use any layer.
set(LUMIVEX_OUTSIDE_LAYERS tests bench fuzz tools docs cmake examples packaging)

# The libraries the layer in folder may link: its own and those of every
# layer below it, into the variable named.
function(lumivex_layers_below folder out_libraries)
  set(pending ${folder})
  set(reached)
  while(pending)
    list(POP_FRONT pending current)
    if(current IN_LIST reached)
      continue()
    endif()
    list(APPEND reached ${current})
    foreach(entry ${LUMIVEX_LAYERS})
      string(REPLACE ":" ";" parts "${entry}:")
      list(GET parts 0 layer)
      if(layer STREQUAL current)
        list(GET parts 2 lower)
        string(REPLACE "," ";" lower "${lower}")
        list(APPEND pending ${lower})
      endif()
    endforeach()
  endwhile()
  set(libraries)
  foreach(entry ${LUMIVEX_LAYERS})
    string(REPLACE ":" ";" parts "${entry}:")
    list(GET parts 0 layer)
    list(GET parts 1 library)
    if(layer IN_LIST reached)
      list(APPEND libraries ${library})
    endif()
  endforeach()
  set(${out_libraries} ${libraries} PARENT_SCOPE)
endfunction()

# Fails the configuration when a layer's library links one of our libraries
# that is not below it.
function(lumivex_check_layer_links)
  set(layer_libraries)
  foreach(entry ${LUMIVEX_LAYERS})
    string(REPLACE ":" ";" parts "${entry}:")
    list(GET parts 1 library)
    list(APPEND layer_libraries ${library})
  endforeach()
  foreach(entry ${LUMIVEX_LAYERS})
    string(REPLACE ":" ";" parts "${entry}:")
    list(GET parts 0 layer)
    list(GET parts 1 library)
    if(NOT TARGET ${library})
      message(FATAL_ERROR "The layer ${layer}/ has no library ${library} (cmake/layers.cmake)")
    endif()
    lumivex_layers_below(${layer} allowed)
    get_target_property(links ${library} LINK_LIBRARIES)
    get_target_property(interface_links ${library} INTERFACE_LINK_LIBRARIES)
    foreach(linked ${links} ${interface_links})
      if(linked IN_LIST layer_libraries AND NOT linked IN_LIST allowed)
        message(FATAL_ERROR "${library} (${layer}/) links ${linked}, which is not below it in cmake/layers.cmake")
      endif()
    endforeach()
  endforeach()
endfunction()
