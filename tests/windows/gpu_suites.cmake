# The suites that assert what Direct3D draws, built for Windows so that they run against
# another Direct3D 11 than our stand-in: Wine's, by tests/windows/wine-checks.sh gpu-tests.
# GoogleTest is built here from the sources Debian ships (googletest) with the cross
# compiler. Nothing here is part of the default build: the target quarvel_gpu_tests makes
# the programs, in gpu-tests/ of the build tree.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(QUARVEL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources, for the Windows suites")
add_subdirectory(${QUARVEL_GOOGLETEST_SOURCE} ${CMAKE_CURRENT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(t ${CMAKE_CURRENT_SOURCE_DIR})
add_library(quarvel_gpu_fixture STATIC EXCLUDE_FROM_ALL
  ${t}/draw/graphics_fixture.cpp ${t}/scene/scene_fixture.cpp ${t}/scene/sea_model.cpp
  ${t}/support/readback.cpp ${t}/support/test_window.cpp)
target_include_directories(quarvel_gpu_fixture PUBLIC ${t}/draw ${t}/scene ${t}/support)
target_link_libraries(quarvel_gpu_fixture PUBLIC quarvel_system GTest::gtest GTest::gtest_main)
# The tests use M_PI, which a strict C++ mode hides in MinGW's math.h unless asked for.
target_compile_definitions(quarvel_gpu_fixture PUBLIC _USE_MATH_DEFINES)

add_custom_target(quarvel_gpu_tests)
function(quarvel_gpu_suite name)
  list(TRANSFORM ARGN PREPEND ${t}/)
  add_executable(${name} EXCLUDE_FROM_ALL ${ARGN})
  target_link_libraries(${name} PRIVATE quarvel_gpu_fixture)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QUARVEL_RUN_DIR}/gpu-tests)
  add_dependencies(quarvel_gpu_tests ${name})
endfunction()
quarvel_gpu_suite(gfx_output_test gfx/program_output_test.cpp)
quarvel_gpu_suite(draw_gpu_test draw/draw_gpu_test.cpp)
quarvel_gpu_suite(post_gpu_test post/chain_gpu_test.cpp post/effects_gpu_test.cpp)
quarvel_gpu_suite(scene_gpu_test scene/road_scene_test.cpp scene/sea_view_test.cpp)
