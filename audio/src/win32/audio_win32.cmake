# The audio library on Windows, included by audio/CMakeLists.txt: the shared engine with the
# system's ACM MP3 codec, winmm wave output and our own radix-2 transform. <bass.h> includes
# the real <windows.h> here.
find_package(Threads REQUIRED)

add_library(quarvel_audio STATIC
  ${quarvel_audio_shared_sources}
  src/real_fft_radix2.cpp
  src/win32/acm_decoder.cpp
  src/win32/mp3_frames.cpp
  src/win32/null_output_device.cpp
  src/win32/waveout_output_device.cpp)
target_include_directories(quarvel_audio PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
                                         PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
target_link_libraries(quarvel_audio PUBLIC Threads::Threads PRIVATE msacm32 winmm)

target_link_libraries(quarvel_system_deps INTERFACE quarvel_audio)
