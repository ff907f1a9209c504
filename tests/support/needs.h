// Programs a test cannot run without (Xvfb, ffmpeg, ffprobe). Where one is missing the test
// is skipped on a developer's machine, but fails under CI (CI=true), where scripts/setup.sh
// has installed everything and a skip would hide a broken set-up.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace quarvel::test {

bool OnPath(const std::string& program);
bool UnderCi();

}  // namespace quarvel::test

#define QUARVEL_NEEDS_PROGRAM(program)                                                                         \
    do {                                                                                                       \
        if (!quarvel::test::OnPath(program)) {                                                                 \
            if (quarvel::test::UnderCi()) FAIL() << (program) << " is missing (scripts/setup.sh installs it)"; \
            GTEST_SKIP() << (program) << " is not installed";                                                  \
        }                                                                                                      \
    } while (0)
