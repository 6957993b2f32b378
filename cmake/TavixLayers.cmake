# tavix_add_layer(name): the library of the add-in's layer src/<name>.
# A layer's headers are found as "<name>/file.h" only by targets that link the
# layer, directly or through a layer above it; an include against the direction
# of the layers finds no header and fails to build.

# Creo unloads the add-in with FreeLibrary, which unmaps it. dlclose unmaps a
# library only when it defines no GNU unique symbol (GCC makes the statics of
# inline functions such): without them, code of the add-in that runs after an
# unload fails on Linux as it does on Windows.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT WIN32)
  set(TAVIX_ADDIN_COMPILE_OPTIONS -fno-gnu-unique)
endif()

# The add-in's layers are C++17, the newest standard the toolkit's headers are
# used with; tests, benchmarks and the stand-ins around them may use C++20.
function(tavix_add_layer name)
  set(root ${PROJECT_BINARY_DIR}/layer-include/${name})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${name} ${root}/${name} SYMBOLIC)
  add_library(tavix-${name} STATIC)
  set_target_properties(tavix-${name} PROPERTIES CXX_STANDARD 17)
  target_include_directories(tavix-${name} PUBLIC ${root})
  target_compile_options(tavix-${name} PRIVATE ${TAVIX_ADDIN_COMPILE_OPTIONS})
endfunction()

# tavix_refuse_layer_link(layer lower): configuring fails when the layer's
# library links the lower one, directly or through another layer, once every
# layer's links are known.
function(tavix_refuse_layer_link layer lower)
  # A deferred call reads its arguments when it runs: they are written in now.
  cmake_language(EVAL CODE
    "cmake_language(DEFER DIRECTORY [[${PROJECT_SOURCE_DIR}]] CALL _tavix_check_layer_link ${layer} ${lower})")
endfunction()

function(_tavix_check_layer_link layer lower)
  set(pending tavix-${layer})
  set(seen "")
  while(pending)
    list(POP_FRONT pending target)
    if(target IN_LIST seen OR NOT TARGET ${target})
      continue()
    endif()
    list(APPEND seen ${target})
    if(target STREQUAL "tavix-${lower}")
      message(FATAL_ERROR "tavix-${layer} must not link tavix-${lower}")
    endif()
    get_target_property(links ${target} LINK_LIBRARIES)
    if(links)
      list(APPEND pending ${links})
    endif()
  endwhile()
endfunction()
