// The template parser, on the program's own resource 101 and on damaged and hostile bytes.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "dialog/dialog_template.h"
#include "dialog/module_resources.h"
#include "test_bytes.h"

using namespace quarvel::dialog;
using dialog_test::GuardedBytes;

namespace {

// The bytes of one of the program's own resources.
std::vector<uint8_t> Resource(LPCSTR type, LPCSTR name) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    DWORD error = 0;
    EXPECT_TRUE(quarvel::dialog::FindModuleResource(type, name, &data, &size, &error));
    return std::vector<uint8_t>(data, data + size);
}

bool ParseGuarded(const std::vector<uint8_t>& bytes, size_t length, DialogTemplate* out) {
    GuardedBytes guarded(bytes.data(), length);
    return ParseDialogTemplate(guarded.data(), guarded.size(), out);
}

}  // namespace

TEST(DialogTemplate, ProgramCarriesTheAsInvokerManifest) {
    const std::vector<uint8_t> bytes = Resource(RT_MANIFEST, MAKEINTRESOURCEA(1));
    const std::string manifest(bytes.begin(), bytes.end());
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"), std::string::npos);
}

TEST(DialogTemplate, EveryTruncationIsRejectedWithoutReadingPastTheEnd) {
    std::vector<uint8_t> bytes = Resource(RT_DIALOG, MAKEINTRESOURCEA(101));
    for (size_t length = 0; length < bytes.size(); ++length) {
        DialogTemplate t;
        EXPECT_FALSE(ParseGuarded(bytes, length, &t)) << "accepted " << length << " of " << bytes.size() << " bytes";
        EXPECT_TRUE(t.items.empty());
    }
}

TEST(DialogTemplate, ItemCountMustMatchTheItemsPresent) {
    std::vector<uint8_t> bytes = Resource(RT_DIALOG, MAKEINTRESOURCEA(101));
    DialogTemplate t;
    bytes[16] = 10;  // cDlgItems
    EXPECT_FALSE(ParseGuarded(bytes, bytes.size(), &t));
    bytes[16] = 8;
    ASSERT_TRUE(ParseGuarded(bytes, bytes.size(), &t));
    EXPECT_EQ(t.items.size(), 8u);
}
