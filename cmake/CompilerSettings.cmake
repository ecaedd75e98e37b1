# Warnings and sanitizers shared by every target of the project.
add_library(quillary_build_flags INTERFACE)
target_compile_options(quillary_build_flags INTERFACE -Wall -Wextra -Wpedantic -Wshadow=local -Wnon-virtual-dtor)
if(QUILLARY_WERROR)
  target_compile_options(quillary_build_flags INTERFACE -Werror)
endif()
if(QUILLARY_SANITIZE)
  target_compile_options(quillary_build_flags INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(quillary_build_flags INTERFACE -fsanitize=address,undefined)
endif()

# quillary_add_library(name folder SOURCES ...) keeps each folder's library declared the same way.
function(quillary_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC quillary_build_flags ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
endfunction()
