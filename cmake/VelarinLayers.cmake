# The layers of src/: each folder is one static library that links only the
# layers below it and sees only their headers. A layer's include root in the
# build tree holds links to its own folder and to the folders of the layers
# below it, and to nothing else, so an #include that runs upward or sideways
# does not compile. tools/check_includes.sh checks the same rules on every file
# (headers no source of their own layer includes, apps/) and looks for circles.

set(VELARIN_LAYER_RULES ${CMAKE_BINARY_DIR}/layers/rules.txt)
file(WRITE ${VELARIN_LAYER_RULES} "")

# velarin_layer(NAME [DEPENDS layer...] [LIBS library...] [RULES_ONLY])
# Defines target velarin_NAME from src/NAME/*.cpp. RULES_ONLY records the layer's
# place for the include check without building it (the window without Qt).
function(velarin_layer name)
  cmake_parse_arguments(LAYER "RULES_ONLY" "" "DEPENDS;LIBS" ${ARGN})
  set(visible ${name})
  foreach(dep IN LISTS LAYER_DEPENDS)
    get_property(below GLOBAL PROPERTY VELARIN_VISIBLE_${dep} SET)
    if(NOT below)
      message(FATAL_ERROR "layer ${name}: ${dep} must be defined before it")
    endif()
    get_property(below GLOBAL PROPERTY VELARIN_VISIBLE_${dep})
    list(APPEND visible ${below})
  endforeach()
  list(REMOVE_DUPLICATES visible)
  set_property(GLOBAL PROPERTY VELARIN_VISIBLE_${name} ${visible})
  string(JOIN " " line ${name} ${visible})
  file(APPEND ${VELARIN_LAYER_RULES} "${line}\n")
  if(LAYER_RULES_ONLY)
    return()
  endif()

  set(root ${CMAKE_BINARY_DIR}/layers/${name})
  file(MAKE_DIRECTORY ${root})
  file(GLOB stale LIST_DIRECTORIES true ${root}/*)
  foreach(entry IN LISTS stale)
    if(IS_SYMLINK ${entry})
      file(REMOVE ${entry})  # the link only, never what it points at
    endif()
  endforeach()
  foreach(layer IN LISTS visible)
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${layer} ${root}/${layer} SYMBOLIC COPY_ON_ERROR)
  endforeach()

  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp)
  set(target velarin_${name})
  if(sources)
    add_library(${target} STATIC ${sources})
    set(scope PUBLIC)
  else()
    add_library(${target} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${target} ${scope} ${root})
  foreach(dep IN LISTS LAYER_DEPENDS)
    target_link_libraries(${target} ${scope} velarin_${dep})
  endforeach()
  target_link_libraries(${target} ${scope} ${LAYER_LIBS})
  if(TARGET velarin_check_includes)
    add_dependencies(${target} velarin_check_includes)
  endif()
endfunction()
