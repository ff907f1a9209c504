# The Windows program, included by the top CMakeLists.txt when building for Windows: the real
# system libraries in place of the platform stand-ins, the GUI entry point, and the package
# (quarvel.exe beside the Data/ and Shaders/ folders that a native build made).
set(QUARVEL_HOST_BUILD_DIR "" CACHE PATH
    "A native build tree whose Data/ and Shaders/ go into the package (quarvel_package)")

target_link_libraries(quarvel_system_deps INTERFACE
  user32 kernel32 shlwapi d3d11 dxgi d3dcompiler_47 winmm)
# WinMain is the entry point, and no console comes with the window (-mwindows).
set_target_properties(quarvel PROPERTIES WIN32_EXECUTABLE ON)

if(QUARVEL_HOST_BUILD_DIR)
  set(quarvel_package_dir ${PROJECT_BINARY_DIR}/quarvel-win32)
  set(quarvel_package_zip ${PROJECT_BINARY_DIR}/quarvel-win32.zip)
  add_custom_target(quarvel_package ALL
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:quarvel> -DHOST_DIR=${QUARVEL_HOST_BUILD_DIR}
            -DSTAGE_DIR=${quarvel_package_dir} -DZIP=${quarvel_package_zip}
            -DDEBUG_FONT=${QUARVEL_DEBUG_SWITCHES}
            -P ${CMAKE_CURRENT_LIST_DIR}/QuarvelWindowsPackage.cmake
    DEPENDS quarvel
    BYPRODUCTS ${quarvel_package_zip}
    COMMENT "Packing quarvel-win32.zip"
    VERBATIM)
endif()

# A console program that exercises the audio library's Windows back end (ACM decoding, wave
# output) on its own, for tests/windows/wine-checks.sh.
option(QUARVEL_WINE_SMOKE "Build the audio smoke-test program for Wine" OFF)
if(QUARVEL_WINE_SMOKE)
  add_executable(quarvel_wine_audio_smoke ${PROJECT_SOURCE_DIR}/tests/windows/wine_audio_smoke.cpp)
  target_include_directories(quarvel_wine_audio_smoke PRIVATE ${PROJECT_SOURCE_DIR}/audio/src)
  target_link_libraries(quarvel_wine_audio_smoke PRIVATE quarvel_audio winmm)
  set_target_properties(quarvel_wine_audio_smoke PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QUARVEL_RUN_DIR})
endif()

# The frame-dump tool (tools/frame_dump), a console program, for the comparison under Wine.
option(QUARVEL_FRAME_DUMP "Build the frame-dump tool" OFF)
if(QUARVEL_FRAME_DUMP)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tools/frame_dump ${PROJECT_BINARY_DIR}/tools/frame_dump)
endif()
