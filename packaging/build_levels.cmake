# Compiles every map of the data tree into its map.lvl ahead (cmake -P, at
# build time), so an installed game reads what it ships and builds nothing.
# A map.lvl that lvltool reads without complaint and that is newer than its
# map.3ds is kept. Needs LVLTOOL and MAPS (the data tree's maps/ directory).
file(GLOB scenes ${MAPS}/*/map.3ds)
foreach(scene ${scenes})
  get_filename_component(dir ${scene} DIRECTORY)
  set(level ${dir}/map.lvl)
  if(EXISTS ${level} AND NOT ${scene} IS_NEWER_THAN ${level})
    execute_process(COMMAND ${LVLTOOL} info ${level} RESULT_VARIABLE unusable OUTPUT_QUIET ERROR_QUIET)
    if(unusable EQUAL 0)
      continue()
    endif()
  endif()
  execute_process(COMMAND ${LVLTOOL} build ${dir} RESULT_VARIABLE failed OUTPUT_QUIET)
  if(NOT failed EQUAL 0)
    message(FATAL_ERROR "lvltool could not build ${level}")
  endif()
endforeach()
