# Configures and builds the outside project: cmake -P with QUARVEL_SOURCE_DIR,
# OUTSIDE_SOURCE_DIR, OUTSIDE_BINARY_DIR and GENERATOR set. Its tree is kept between runs, so
# only the first builds the whole platform; later ones configure again and rebuild what changed.
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${OUTSIDE_SOURCE_DIR} -B ${OUTSIDE_BINARY_DIR} -G ${GENERATOR}
          -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARVEL_SOURCE_DIR=${QUARVEL_SOURCE_DIR}
  RESULT_VARIABLE configured)
if(NOT configured EQUAL 0)
  message(FATAL_ERROR "the outside project does not configure")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${OUTSIDE_BINARY_DIR} --target app -j2 RESULT_VARIABLE built)
if(NOT built EQUAL 0)
  message(FATAL_ERROR "the outside project does not build")
endif()
