// The template parser, on the program's own resource 101 and on damaged and hostile bytes.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "dialog/dialog_template.h"
#include "dialog/module_resources.h"
#include "test_bytes.h"

using namespace quarvel::platform::dialog;
using dialog_test::GuardedBytes;

namespace {

std::vector<uint8_t> SetupTemplateBytes() {
    const uint8_t* data = nullptr;
    size_t size = 0;
    DWORD error = 0;
    EXPECT_TRUE(quarvel::platform::FindModuleResource(RT_DIALOG, MAKEINTRESOURCEA(101), &data, &size, &error));
    return std::vector<uint8_t>(data, data + size);
}

bool ParseGuarded(const std::vector<uint8_t>& bytes, size_t length, DialogTemplate* out) {
    GuardedBytes guarded(bytes.data(), length);
    return ParseDialogTemplate(guarded.data(), guarded.size(), out);
}

}  // namespace

// What the setup dialog's code relies on in resource 101: the extended form with its font,
// and the controls it looks up by id, of the right kind.
TEST(DialogTemplate, SetupResourceIsTheTemplateOfTheSetupDialog) {
    DialogTemplate t;
    std::vector<uint8_t> bytes = SetupTemplateBytes();
    ASSERT_TRUE(ParseGuarded(bytes, bytes.size(), &t));
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.title, "Quarvel");
    ASSERT_TRUE(t.hasFont);
    EXPECT_EQ(t.typeface, "Tahoma");
    EXPECT_EQ(t.items.size(), 9u);
    const std::pair<int32_t, ControlClass> used[] = {{1, ControlClass::Button},
                                                     {2, ControlClass::Button},
                                                     {1001, ControlClass::ComboBox},
                                                     {1003, ControlClass::Button},
                                                     {1006, ControlClass::Button}};
    for (const auto& [id, kind] : used) {
        const auto item = std::find_if(t.items.begin(), t.items.end(), [id = id](auto& i) { return i.id == id; });
        ASSERT_NE(item, t.items.end()) << id;
        EXPECT_EQ(item->controlClass, kind) << id;
    }
}

TEST(DialogTemplate, ProgramCarriesTheAsInvokerManifest) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    DWORD error = 0;
    ASSERT_TRUE(quarvel::platform::FindModuleResource(RT_MANIFEST, MAKEINTRESOURCEA(1), &data, &size, &error));
    std::string manifest(reinterpret_cast<const char*>(data), size);
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"), std::string::npos);
}

TEST(DialogTemplate, EveryTruncationIsRejectedWithoutReadingPastTheEnd) {
    std::vector<uint8_t> bytes = SetupTemplateBytes();
    for (size_t length = 0; length < bytes.size(); ++length) {
        DialogTemplate t;
        EXPECT_FALSE(ParseGuarded(bytes, length, &t)) << "accepted " << length << " of " << bytes.size() << " bytes";
        EXPECT_TRUE(t.items.empty());
    }
}

TEST(DialogTemplate, ItemCountMustMatchTheItemsPresent) {
    std::vector<uint8_t> bytes = SetupTemplateBytes();
    DialogTemplate t;
    bytes[16] = 10;  // cDlgItems
    EXPECT_FALSE(ParseGuarded(bytes, bytes.size(), &t));
    bytes[16] = 8;
    ASSERT_TRUE(ParseGuarded(bytes, bytes.size(), &t));
    EXPECT_EQ(t.items.size(), 8u);
}
