# cmake -P script: stages PROGRAM with the data files and packed shaders of the native build
# tree HOST_DIR into STAGE_DIR (emptied first, so nothing stale goes along) and zips it as ZIP.
# DEBUG_FONT true: the baked debug font goes too (only builds with the debug switches read it).
foreach(var PROGRAM HOST_DIR STAGE_DIR ZIP)
  if(NOT ${var})
    message(FATAL_ERROR "QuarvelWindowsPackage: ${var} not given")
  endif()
endforeach()

file(GLOB data_files ${HOST_DIR}/Data/*.png ${HOST_DIR}/Data/*.mp3 ${HOST_DIR}/Data/*.vbo)
if(DEBUG_FONT)
  list(APPEND data_files ${HOST_DIR}/Data/DebugFont.bin)
endif()
# The program opens each shader's source too, for its file time.
file(GLOB shader_files ${HOST_DIR}/Shaders/*.shader ${HOST_DIR}/Shaders/*.fx ${HOST_DIR}/Shaders/*.hlsl)
file(GLOB music ${HOST_DIR}/Data/*.mp3)
file(GLOB packed ${HOST_DIR}/Shaders/*.shader)
if(NOT music OR NOT packed)
  message(FATAL_ERROR "QuarvelWindowsPackage: ${HOST_DIR} has no music or no packed shaders; "
                      "build its quarvel_assets target first")
endif()

file(REMOVE_RECURSE ${STAGE_DIR})
file(MAKE_DIRECTORY ${STAGE_DIR}/Data ${STAGE_DIR}/Shaders)
file(COPY ${PROGRAM} DESTINATION ${STAGE_DIR})
file(COPY ${data_files} DESTINATION ${STAGE_DIR}/Data)
file(COPY ${shader_files} DESTINATION ${STAGE_DIR}/Shaders)

get_filename_component(program_name ${PROGRAM} NAME)
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${program_name} Data Shaders
                WORKING_DIRECTORY ${STAGE_DIR}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "QuarvelWindowsPackage: zipping failed (${result})")
endif()

list(LENGTH data_files data_count)
list(LENGTH shader_files shader_count)
message(STATUS "${ZIP}: ${program_name}, ${data_count} data files, ${shader_count} shader files")
