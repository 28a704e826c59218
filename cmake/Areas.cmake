# add_area_directories(): every subdirectory of the current source directory
# that has a CMakeLists.txt, in name order. Tests, benchmarks and fuzz targets
# keep one directory per area this way.
function(add_area_directories)
  file(GLOB areas LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT areas)
  foreach(area ${areas})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${area} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${area}/CMakeLists.txt)
      add_subdirectory(${area})
    endif()
  endforeach()
endfunction()
