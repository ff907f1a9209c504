# QUARVEL_SANITIZE: a comma-separated list of sanitizers compiled into every target of the
# build tree, libraries, tools and tests alike, so that a run of the test suite checks the
# whole program:
#   address    AddressSanitizer (with LeakSanitizer)
#   undefined  UndefinedBehaviorSanitizer
#   fuzzer     clang only: libFuzzer's coverage instrumentation for every target; the fuzz
#              targets themselves (tests/fuzz) add the fuzzing engine when they link
# Meant for a tree of its own (scripts/sanitize.sh uses build-asan/, scripts/fuzz.sh
# build-fuzz/): instrumented objects must not mix with the plain build's.
set(QUARVEL_SANITIZE "" CACHE STRING "Sanitizers for every target: address,undefined[,fuzzer] (empty: none)")

if(QUARVEL_SANITIZE)
  string(REPLACE "," ";" quarvel_sanitizers "${QUARVEL_SANITIZE}")
  set(quarvel_sanitize_compile)
  set(quarvel_sanitize_link)
  foreach(sanitizer IN LISTS quarvel_sanitizers)
    if(sanitizer STREQUAL "address" OR sanitizer STREQUAL "undefined")
      list(APPEND quarvel_sanitize_compile ${sanitizer})
      list(APPEND quarvel_sanitize_link ${sanitizer})
    elseif(sanitizer STREQUAL "fuzzer")
      if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "QUARVEL_SANITIZE=fuzzer needs clang (libFuzzer), not ${CMAKE_CXX_COMPILER_ID}")
      endif()
      # Coverage only: programs other than the fuzz targets keep their own main().
      list(APPEND quarvel_sanitize_compile fuzzer-no-link)
    else()
      message(FATAL_ERROR "QUARVEL_SANITIZE: unknown sanitizer '${sanitizer}' (address, undefined, fuzzer)")
    endif()
  endforeach()
  if("fuzzer" IN_LIST quarvel_sanitizers AND NOT "address" IN_LIST quarvel_sanitizers)
    # The coverage hooks in programs that do not link libFuzzer come from ASan's runtime.
    message(FATAL_ERROR "QUARVEL_SANITIZE=fuzzer needs address as well")
  endif()
  list(JOIN quarvel_sanitize_compile "," quarvel_sanitize_compile)
  # Frame pointers keep the reports' stack traces whole in optimised code. Recovery is left
  # as the compiler has it, so UBSAN_OPTIONS decides at run time whether the first finding
  # stops the program (the scripts make it stop).
  add_compile_options(-fsanitize=${quarvel_sanitize_compile} -fno-omit-frame-pointer)
  if(quarvel_sanitize_link)
    list(JOIN quarvel_sanitize_link "," quarvel_sanitize_link)
    add_link_options(-fsanitize=${quarvel_sanitize_link})
  endif()
  if("undefined" IN_LIST quarvel_sanitizers)
    # The vptr check refers to the type information of every polymorphic class whose
    # objects it checks. Debian builds glslang without RTTI, so the HLSL compiler, which
    # calls into glslang's classes, would not link with it. Everything else keeps the check.
    function(quarvel_sanitize_without_vptr)
      if(TARGET quarvel_platform_hlsl)
        target_compile_options(quarvel_platform_hlsl PRIVATE -fno-sanitize=vptr)
      endif()
    endfunction()
    cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL quarvel_sanitize_without_vptr)
  endif()
  message(STATUS "Sanitizers: compile -fsanitize=${quarvel_sanitize_compile}")
endif()
