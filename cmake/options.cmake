# One place for the language level, warnings and Qt defines every target of ours uses.
add_library(saporium_options INTERFACE)
target_compile_features(saporium_options INTERFACE cxx_std_20)
target_compile_options(saporium_options INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(saporium_options INTERFACE
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_USE_QSTRINGBUILDER
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_FOREACH
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_DISABLE_DEPRECATED_BEFORE=0x060400)
# The hardening Debian builds its own packages with, in optimised builds without a sanitizer:
# checked buffer functions (they need the optimiser) and relocations made read-only at start.
if(NOT SAPORIUM_SANITIZE AND NOT SAPORIUM_TSAN AND NOT SAPORIUM_FUZZ)
  set(optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  target_compile_definitions(saporium_options INTERFACE "$<${optimised}:_FORTIFY_SOURCE=2>")
  target_link_options(saporium_options INTERFACE "$<${optimised}:LINKER:-z,relro,-z,now>")
endif()
if(SAPORIUM_SANITIZE)
  target_compile_options(saporium_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(saporium_options INTERFACE -fsanitize=address,undefined)
endif()
# ThreadSanitizer cannot share a process with AddressSanitizer, so it gets a build of its own.
if(SAPORIUM_TSAN)
  target_compile_options(saporium_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(saporium_options INTERFACE -fsanitize=thread)
endif()
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTOUIC ON)
set(CMAKE_AUTORCC ON)

# saporium_forbid_links(<target> <regex>): fails the configuration when the target links,
# directly or through a library it links, a Qt library whose name matches regex.
function(saporium_forbid_links target forbidden)
  set(seen "")
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue current)
    if(current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    if(current MATCHES "${forbidden}")
      message(FATAL_ERROR "${target} must not link ${current}")
    endif()
    if(TARGET ${current} AND NOT current MATCHES "^Qt6::")
      get_target_property(links ${current} LINK_LIBRARIES)
      get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
      foreach(l IN LISTS links interface)
        if(l AND NOT l MATCHES "NOTFOUND$")
          string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" l "${l}")
          list(APPEND queue ${l})
        endif()
      endforeach()
    endif()
  endwhile()
endfunction()

# saporium_forbid_widgets(<target>): fails the configuration when the target links anything that
# draws: the engine and the core must stay usable without a window.
function(saporium_forbid_widgets target)
  saporium_forbid_links(${target} "^Qt6::(Gui|Widgets|PrintSupport)$")
endfunction()
