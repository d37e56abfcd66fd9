# Delay-loading of system libraries that are not on Windows' known-DLL list. The loader
# takes such a library from the exe's own folder when it resolves the load-time imports,
# before the program can say otherwise; delay-loaded, it is loaded on first use, after the
# exe has restricted the search to the system folder. (This binutils cannot set the
# dependent-load flag of the PE load configuration.)
#
# tw_delay_load(TARGET DLL NAME BYTES ...): links TARGET (and its users) against DLL with
# every listed function delay-loaded. BYTES is the size of the arguments, which 32-bit
# stdcall names carry.
function(tw_delay_load target dll)
  get_filename_component(stem ${dll} NAME_WE)
  string(TOLOWER ${stem} stem)
  set(def "LIBRARY ${dll}\nEXPORTS\n")
  set(functions ${ARGN})
  while(functions)
    list(POP_FRONT functions name bytes)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(APPEND def "  ${name}@${bytes}\n")
    else()
      string(APPEND def "  ${name}\n")
    endif()
  endwhile()
  set(defFile ${stem}_delayed.def)
  set(library lib${stem}_delayed.a)
  file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${defFile} CONTENT "${def}")
  if(NOT CMAKE_DLLTOOL)
    string(REGEX REPLACE "g\\+\\+(-posix)?$" "dlltool" dlltool "${CMAKE_CXX_COMPILER}")
    set(CMAKE_DLLTOOL ${dlltool})
  endif()
  # --kill-at: the imported names are the plain ones the DLL exports. Relative names, so
  # that the build folder does not end up in the symbol names.
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${library}
    COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def ${defFile} --output-delaylib ${library}
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${defFile} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} VERBATIM)
  add_custom_target(${stem}_delayed_imports DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${library})
  add_library(${stem}_delayed INTERFACE)
  add_dependencies(${stem}_delayed ${stem}_delayed_imports)
  target_link_libraries(${stem}_delayed INTERFACE ${CMAKE_CURRENT_BINARY_DIR}/${library} delayimp)
  target_link_libraries(${target} PUBLIC ${stem}_delayed)
endfunction()
