// Windows paths through fopen and CreateFileA, file times, and path-extension removal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <shlwapi.h>
#include <stdio.h>
#include <sys/stat.h>

#include <string>

#include "scratch.h"

namespace {

class Win32Files : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(mkdir((scratch / "Shaders").c_str(), 0755), 0);
        ASSERT_TRUE(quarvel::test::WriteWholeFile(scratch / "Shaders/Bloom.shader", "packed", 6));
    }
    // The file as the system names it: a Windows path below the temporary folder.
    std::string WindowsPath() const { return scratch.Path() + "\\Shaders\\Bloom.shader"; }
    quarvel::test::ScratchFolder scratch;
    const std::string root = scratch.Path();
};

TEST_F(Win32Files, CreateFileOpensBackslashPathsAndReportsTheWriteTime) {
    // 2020-01-01 00:00:00.5 UTC.
    struct timespec times[2] = {{1577836800, 0}, {1577836800, 500000000}};
    ASSERT_EQ(utimensat(AT_FDCWD, (root + "/Shaders/Bloom.shader").c_str(), times, 0), 0);
    HANDLE file = CreateFileA(WindowsPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME written{};
    ASSERT_TRUE(GetFileTime(file, nullptr, nullptr, &written));
    const uint64_t ticks = (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    EXPECT_EQ(ticks, (1577836800ULL + 11644473600ULL) * 10000000ULL + 5000000ULL);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(GetFileTime(file, nullptr, nullptr, &written)) << "a closed handle";
}

TEST_F(Win32Files, CreateFileFailuresCarryWindowsErrors) {
    auto open = [](const std::string& path) {
        return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    EXPECT_EQ(open(root + "\\Shaders\\Missing.shader"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

std::string WithoutExtension(const char* path) {
    char buffer[MAX_PATH];
    snprintf(buffer, sizeof buffer, "%s", path);
    PathRemoveExtensionA(buffer);
    return buffer;
}

TEST(Win32PathRemoveExtension, RemovesOnlyTheLastComponentsExtension) {
    // The shader-file tests cover the plain cases through ShaderFilePath.
    EXPECT_EQ(WithoutExtension("mixed.d\\sub.e/file.txt"), "mixed.d\\sub.e/file");
    EXPECT_EQ(WithoutExtension("noextension"), "noextension");
    EXPECT_EQ(WithoutExtension("name.tx t"), "name.tx t");  // a space after the dot: no extension
    EXPECT_EQ(WithoutExtension("trailing."), "trailing");
    EXPECT_EQ(WithoutExtension(""), "");
    PathRemoveExtensionA(nullptr);
}

}  // namespace
