// .res images and the resource table the program's resources are registered in.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "dialog/module_resources.h"
#include "dialog/res_image.h"
#include "test_bytes.h"

using namespace quarvel::platform;
using namespace quarvel::platform::dialog;
using dialog_test::Bytes;
using dialog_test::GuardedBytes;

namespace {
// An image whose entries are named by strings, as a resource script may name them.
std::vector<uint8_t> NamedImage() {
    Bytes b;
    b.Dword(0).Dword(32).Ordinal(0).Ordinal(0).Dword(0).Word(0).Word(0).Dword(0).Dword(0);
    Bytes header;
    header.String("MYTYPE").String("SETUP").Align4().Dword(0).Word(0x30).Word(0x0407).Dword(0).Dword(0);
    b.Dword(3).Dword(static_cast<uint32_t>(8 + header.size()));
    std::vector<uint8_t> image = b.data();
    image.insert(image.end(), header.data().begin(), header.data().end());
    image.insert(image.end(), {'a', 'b', 'c'});
    return image;
}

DWORD FindError(LPCSTR type, LPCSTR name) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    DWORD error = 0;
    return FindModuleResource(type, name, &data, &size, &error) ? ERROR_SUCCESS : error;
}
}  // namespace

TEST(ResImage, TruncatedImagesNeverYieldDataPastTheirEnd) {
    std::vector<uint8_t> image = dialog_test::ResImageWithDialog(101, std::vector<uint8_t>(40, 0x5A));
    for (size_t length = 0; length < image.size(); ++length) {
        GuardedBytes guarded(image.data(), length);
        std::vector<ResEntry> entries;
        if (!ParseResImage(guarded.data(), guarded.size(), &entries)) {
            EXPECT_TRUE(entries.empty());
            continue;
        }
        // Only a cut between entries leaves a valid (shorter) image.
        EXPECT_TRUE(entries.empty()) << "a cut entry was accepted at " << length;
    }
}

TEST(ResImage, InconsistentHeadersAreRejected) {
    std::vector<uint8_t> image = dialog_test::ResImageWithDialog(101, std::vector<uint8_t>(8, 1));
    std::vector<ResEntry> entries;
    std::vector<uint8_t> damaged = image;
    damaged[32 + 4] = 12;  // HeaderSize smaller than the fields it must hold
    EXPECT_FALSE(ParseResImage(damaged.data(), damaged.size(), &entries));
    damaged = image;
    damaged[32] = 200;  // DataSize past the end
    EXPECT_FALSE(ParseResImage(damaged.data(), damaged.size(), &entries));
    damaged = image;
    damaged[32 + 7] = 0x80;  // HeaderSize of 2 GiB
    EXPECT_FALSE(ParseResImage(damaged.data(), damaged.size(), &entries));
    EXPECT_FALSE(RegisterModuleResources(damaged.data(), damaged.size()));
}

TEST(ModuleResources, LookupByOrdinalNameAndPrecedence) {
    // The program's own image is registered before main.
    EXPECT_EQ(FindError(RT_DIALOG, MAKEINTRESOURCEA(101)), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(FindError(RT_DIALOG, "#101"), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(FindError(RT_DIALOG, MAKEINTRESOURCEA(999)), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindError(RT_DIALOG, "SETUP"), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindError(MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(101)), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));

    std::vector<uint8_t> named = NamedImage();
    ASSERT_TRUE(RegisterModuleResources(named.data(), named.size()));
    const uint8_t* data = nullptr;
    size_t size = 0;
    DWORD error = 0;
    ASSERT_TRUE(FindModuleResource("mytype", "setup", &data, &size, &error));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size), "abc");
    EXPECT_EQ(FindError("MYTYPE", "SETUPX"), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));

    // A later image comes first, and stops doing so once unregistered.
    std::vector<uint8_t> replacement = dialog_test::ResImageWithDialog(101, std::vector<uint8_t>(4, 7));
    ASSERT_TRUE(RegisterModuleResources(replacement.data(), replacement.size()));
    ASSERT_TRUE(FindModuleResource(RT_DIALOG, MAKEINTRESOURCEA(101), &data, &size, &error));
    EXPECT_EQ(size, 4u);
    UnregisterModuleResources(replacement.data());
    UnregisterModuleResources(named.data());
    ASSERT_TRUE(FindModuleResource(RT_DIALOG, MAKEINTRESOURCEA(101), &data, &size, &error));
    EXPECT_GT(size, 4u);
    EXPECT_EQ(FindError("MYTYPE", "SETUP"), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
}
