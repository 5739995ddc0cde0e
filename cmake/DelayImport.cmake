# Delay-loaded imports: a library made with `dlltool --output-delaylib`
# resolves its functions on first call, so a DLL the program needs only for
# a later command (a download, a file dialog) is not loaded, with the DLLs
# it pulls in, while the program starts.
#
#   tarvolo_delay_import(<name> <dll> <function>...)
# defines the link target delay_<name>.
find_program(TARVOLO_DLLTOOL NAMES x86_64-w64-mingw32-dlltool dlltool REQUIRED)

function(tarvolo_delay_import name dll)
  set(def ${CMAKE_BINARY_DIR}/delay/${name}.def)
  set(lib ${CMAKE_BINARY_DIR}/delay/lib${name}_delay.a)
  set(text "LIBRARY ${dll}\nEXPORTS\n")
  foreach(fn ${ARGN})
    string(APPEND text "  ${fn}\n")
  endforeach()
  file(WRITE ${def}.in "${text}")
  configure_file(${def}.in ${def} COPYONLY)
  add_custom_command(OUTPUT ${lib}
                     COMMAND ${TARVOLO_DLLTOOL} --input-def ${def} --dllname ${dll} --output-delaylib ${lib}
                     DEPENDS ${def} VERBATIM)
  add_custom_target(delay_${name}_lib DEPENDS ${lib})
  add_library(delay_${name} STATIC IMPORTED GLOBAL)
  set_target_properties(delay_${name} PROPERTIES IMPORTED_LOCATION ${lib})
  add_dependencies(delay_${name} delay_${name}_lib)
endfunction()
