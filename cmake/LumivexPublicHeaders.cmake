# The headers another program may include: the two controls, the reflection
# values, the markup engine's entry point with its request and result, and the
# save formats. Whatever they include from this project (their own includes,
# and the ones their moc code names) is needed to compile them, so it is
# installed as well: the list is closed over those includes at configure time
# and so keeps up with the sources.
set(LUMIVEX_PUBLIC_HEADER_ROOTS
  controls/orb_reflection_image.h
  controls/orb_reflection_label.h
  controls/orb_hint_info.h
  controls/register_controls.h
  imaging/reflection/reflection_parameters.h
  imaging/saving/save_formats.h
  markup/draw_markup.h
  markup/markup_call.h
  markup/markup_request.h)

# Sets OUT to ROOTS (paths relative to SOURCE_DIR; missing ones left out) and
# every project header they reach through #include "..." or Q_MOC_INCLUDE.
function(lumivex_header_closure out source_dir)
  set(pending)
  foreach(root ${ARGN})
    if(EXISTS ${source_dir}/${root})
      list(APPEND pending ${root})
    endif()
  endforeach()
  set(seen)
  while(pending)
    list(POP_FRONT pending header)
    if(header IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${header})
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source_dir}/${header})
    file(STRINGS ${source_dir}/${header} lines REGEX "^[ \t]*(#[ \t]*include|Q_MOC_INCLUDE)[ \t(]*\"")
    foreach(line ${lines})
      string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" included "${line}")
      if(EXISTS ${source_dir}/${included} AND NOT included IN_LIST seen)
        list(APPEND pending ${included})
      endif()
    endforeach()
  endwhile()
  list(SORT seen)
  set(${out} ${seen} PARENT_SCOPE)
endfunction()
