// .res images and the resource table the program's resources are registered in.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "dialog/module_resources.h"
#include "dialog/res_image.h"
#include "test_bytes.h"

using namespace quarvel::dialog;
using dialog_test::GuardedBytes;

namespace {
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
    // HeaderSize smaller than the fields it must hold, DataSize past the end, HeaderSize of 2 GiB.
    for (const auto& [at, value] : {std::pair{32 + 4, 12}, {32, 200}, {32 + 7, 0x80}}) {
        std::vector<uint8_t> damaged = image;
        damaged[at] = uint8_t(value);
        EXPECT_FALSE(ParseResImage(damaged.data(), damaged.size(), &entries)) << at;
        EXPECT_FALSE(RegisterModuleResources(damaged.data(), damaged.size())) << at;
    }
}

TEST(ModuleResources, LookupByOrdinalAndPrecedence) {
    // The program's own image is registered before main.
    EXPECT_EQ(FindError(RT_DIALOG, MAKEINTRESOURCEA(101)), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(FindError(RT_DIALOG, MAKEINTRESOURCEA(999)), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindError(MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(101)), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));

    const uint8_t* data = nullptr;
    size_t size = 0;
    DWORD error = 0;
    // A later image comes first, and stops doing so once unregistered.
    std::vector<uint8_t> replacement = dialog_test::ResImageWithDialog(101, std::vector<uint8_t>(4, 7));
    ASSERT_TRUE(RegisterModuleResources(replacement.data(), replacement.size()));
    ASSERT_TRUE(FindModuleResource(RT_DIALOG, MAKEINTRESOURCEA(101), &data, &size, &error));
    EXPECT_EQ(size, 4u);
    UnregisterModuleResources(replacement.data());
    ASSERT_TRUE(FindModuleResource(RT_DIALOG, MAKEINTRESOURCEA(101), &data, &size, &error));
    EXPECT_GT(size, 4u);
}
