# grimvale_included_libraries(<out> <files>...): the folder libraries
# (grimvale_core ... grimvale_app) that the files include, following quoted
# headers that lie beside them (a suite's fixtures, a harness's helpers).
# Tests, tools, benchmarks and harnesses link exactly these, so each links only
# the part of the game it uses; the files become configure dependencies, so a
# new include of another folder re-runs CMake and takes its library along.
set(GRIMVALE_FOLDERS core world render gui fx net game frontend app)
string(JOIN "|" GRIMVALE_FOLDER_PATTERN ${GRIMVALE_FOLDERS})

function(grimvale_included_libraries out)
  set(libraries "")
  set(seen "")
  set(queue ${ARGN})
  while(queue)
    list(POP_FRONT queue file)
    if(file IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${file})
    set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
    get_filename_component(dir ${file} DIRECTORY)
    file(STRINGS ${file} lines REGEX "^#include \"")
    foreach(line IN LISTS lines)
      if(line MATCHES "^#include \"(${GRIMVALE_FOLDER_PATTERN})/")
        list(APPEND libraries grimvale_${CMAKE_MATCH_1})
      elseif(line MATCHES "^#include \"([^\"]+)\"")
        if(EXISTS ${dir}/${CMAKE_MATCH_1})
          get_filename_component(header ${dir}/${CMAKE_MATCH_1} REALPATH)
          list(APPEND queue ${header})
        endif()
      endif()
    endforeach()
  endwhile()
  list(REMOVE_DUPLICATES libraries)
  set(${out} ${libraries} PARENT_SCOPE)
endfunction()
