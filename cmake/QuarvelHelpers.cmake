# Helpers shared by the folders of the build.

# What every part of the system compiles and links against: the Windows headers (our
# stand-ins on other systems), the audio library, zlib and stb.
add_library(quarvel_system_deps INTERFACE)
find_package(ZLIB REQUIRED)
target_include_directories(quarvel_system_deps INTERFACE ${PROJECT_SOURCE_DIR} /usr/include/stb)
target_link_libraries(quarvel_system_deps INTERFACE ZLIB::ZLIB)
if(QUARVEL_DEBUG_SWITCHES)
  target_compile_definitions(quarvel_system_deps INTERFACE QUARVEL_DEBUG_SWITCHES=1)
endif()

# Phony target that every generated data file and packed shader hangs off.
add_custom_target(quarvel_assets ALL)

# An object library quarvel_<part> from every .cpp in the folder <part>/.
function(quarvel_system_part part)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${part}/*.cpp)
  if(NOT sources)
    # A folder whose code has not been written yet still makes a (empty) library.
    set(sources ${PROJECT_BINARY_DIR}/empty_part.cpp)
    file(WRITE ${sources} "// no code in this part yet\n")
  endif()
  add_library(quarvel_${part} OBJECT ${sources})
  target_link_libraries(quarvel_${part} PUBLIC quarvel_system_deps)
endfunction()

# add_subdirectory for every direct subfolder of `dir` that has a CMakeLists.txt,
# so each area owns its own build file.
function(quarvel_add_subfolders dir)
  file(GLOB children RELATIVE ${dir} ${dir}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${dir}/${child} AND EXISTS ${dir}/${child}/CMakeLists.txt)
      add_subdirectory(${dir}/${child})
    endif()
  endforeach()
endfunction()

# A GoogleTest executable registered with CTest; tests run from the build tree's top so
# relative Data/ and Shaders/ paths resolve as they do for the program.
function(quarvel_test name)
  cmake_parse_arguments(T "" "FIXTURE" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  # One variable per property: gtest_discover_tests splits a list value into separate
  # properties. FIXTURE names a CTest fixture every test of the suite needs.
  set(fixture)
  if(T_FIXTURE)
    set(fixture FIXTURES_REQUIRED ${T_FIXTURE})
  endif()
  gtest_discover_tests(${name} WORKING_DIRECTORY ${QUARVEL_RUN_DIR} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QUARVEL_SETUP=run"
                                  ENVIRONMENT_MODIFICATION "SDL_AUDIODRIVER=set:dummy" ${fixture})
endfunction()
