# Adds each listed folder below <base> that holds a CMakeLists.txt, so parts of
# the tree can land one at a time.
function(zorv_add_existing_subdirectories base)
  foreach(dir IN LISTS ARGN)
    set(path ${CMAKE_CURRENT_SOURCE_DIR}/${base}/${dir})
    if(EXISTS ${path}/CMakeLists.txt)
      add_subdirectory(${path})
    endif()
  endforeach()
endfunction()
