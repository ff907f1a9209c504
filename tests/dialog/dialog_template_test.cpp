// The template parser, on the program's own resource 101 and on damaged and hostile bytes.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <vector>

#include "dialog/dialog_template.h"
#include "dialog/module_resources.h"
#include "test_bytes.h"

using namespace quarvel::platform::dialog;
using dialog_test::Bytes;
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

struct ExpectedItem {
    int32_t id;
    ControlClass controlClass;
    const char* text;
    int16_t x, y, cx, cy;
    uint32_t style;
};

}  // namespace

TEST(DialogTemplate, SetupResourceIsTheTemplateOfTheSetupDialog) {
    DialogTemplate t;
    std::vector<uint8_t> bytes = SetupTemplateBytes();
    ASSERT_TRUE(ParseGuarded(bytes, bytes.size(), &t));
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.style, static_cast<uint32_t>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER));
    EXPECT_EQ(t.cx, 186);
    EXPECT_EQ(t.cy, 111);
    EXPECT_EQ(t.title, "Quarvel");
    EXPECT_TRUE(t.menu.empty());
    EXPECT_TRUE(t.windowClass.empty());
    ASSERT_TRUE(t.hasFont);
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.typeface, "Tahoma");

    const uint32_t child = WS_CHILD, shown = WS_CHILD | WS_VISIBLE;
    const ExpectedItem expected[] = {
        {1, ControlClass::Button, "Run", 7, 90, 50, 14, shown | WS_TABSTOP | BS_DEFPUSHBUTTON},
        {2, ControlClass::Button, "Cancel", 128, 90, 50, 14, shown | WS_TABSTOP | BS_PUSHBUTTON},
        {-1, ControlClass::Static, "Resolution:", 20, 22, 65, 10, shown | WS_GROUP | SS_RIGHT},
        {1001, ControlClass::ComboBox, "", 95, 20, 75, 125, shown | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST},
        {-1, ControlClass::Static, "Windowed", 20, 36, 65, 10, shown | WS_GROUP | SS_RIGHT},
        {1003, ControlClass::Button, "", 95, 36, 9, 10, shown | WS_TABSTOP | BS_AUTOCHECKBOX},
        {-1, ControlClass::Static, "Multisampling:", 25, 76, 60, 10, child | WS_GROUP | SS_RIGHT},
        {-1, ControlClass::Static, "Quarvel - Brisvane (Ketra)", 5, 8, 175, 10, shown | WS_GROUP | SS_CENTER},
        {1006, ControlClass::Button, "", 95, 76, 14, 10, child | WS_TABSTOP | BS_AUTOCHECKBOX},
    };
    ASSERT_EQ(t.items.size(), std::size(expected));
    for (size_t i = 0; i < t.items.size(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i + 1));
        const DialogItemTemplate& item = t.items[i];
        EXPECT_EQ(item.id, expected[i].id);
        EXPECT_EQ(item.controlClass, expected[i].controlClass);
        EXPECT_TRUE(item.windowClass.isOrdinal);
        EXPECT_EQ(item.title.text, expected[i].text);
        EXPECT_EQ(item.x, expected[i].x);
        EXPECT_EQ(item.y, expected[i].y);
        EXPECT_EQ(item.cx, expected[i].cx);
        EXPECT_EQ(item.cy, expected[i].cy);
        EXPECT_EQ(item.style, expected[i].style);
        EXPECT_TRUE(item.extra.empty());
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
    bytes[16] = 0xFF;
    bytes[17] = 0xFF;
    EXPECT_FALSE(ParseGuarded(bytes, bytes.size(), &t));
    bytes[16] = 8;
    bytes[17] = 0;
    ASSERT_TRUE(ParseGuarded(bytes, bytes.size(), &t));
    EXPECT_EQ(t.items.size(), 8u);
}

TEST(DialogTemplate, RandomAndMutatedBytesNeverReadPastTheEnd) {
    std::mt19937 random(20240601);
    std::vector<uint8_t> setup = SetupTemplateBytes();
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes;
        if (round % 2) {
            bytes.resize(random() % 400);
            for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
            if (bytes.size() >= 4 && round % 4 == 1) {
                bytes[0] = 1;  // steer half of them into the extended form
                bytes[1] = 0;
                bytes[2] = bytes[3] = 0xFF;
            }
        } else {
            bytes = setup;
            for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips) {
                bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
            }
            bytes.resize(bytes.size() - random() % 8);
        }
        DialogTemplate t;
        if (ParseGuarded(bytes, bytes.size(), &t)) {
            ++accepted;
            // Whatever was accepted is at least self-consistent.
            EXPECT_LE(t.items.size() * 24, bytes.size());
        }
    }
    EXPECT_GT(accepted, 0);  // the mutations that only touch values still parse
}

TEST(DialogTemplate, OlderFormAndNamedFields) {
    // DLGTEMPLATE: WORD ids (0xFFFF reads as -1), a menu ordinal, a class by name, an item
    // whose title is an ordinal and which carries creation data before the next item.
    Bytes b;
    b.Dword(WS_POPUP | DS_SETFONT).Dword(0).Word(2).Word(1).Word(2).Word(100).Word(50);
    b.Ordinal(7).String("MyDialogClass").String("Old").Word(9).String("Arial");
    b.Align4().Dword(WS_CHILD | WS_VISIBLE).Dword(0).Word(3).Word(4).Word(40).Word(12).Word(0xFFFF);
    b.String("sTaTiC").Ordinal(42).Word(3).Byte(0xAA).Byte(0xBB).Byte(0xCC);
    b.Align4().Dword(WS_CHILD).Dword(0).Word(5).Word(6).Word(20).Word(10).Word(1003);
    b.Ordinal(0x0080).String("Box").Word(0);

    DialogTemplate t;
    ASSERT_TRUE(ParseGuarded(b.data(), b.size(), &t));
    EXPECT_FALSE(t.extended);
    EXPECT_TRUE(t.menu.isOrdinal);
    EXPECT_EQ(t.menu.ordinal, 7);
    EXPECT_EQ(t.windowClass.text, "MyDialogClass");
    EXPECT_EQ(t.title, "Old");
    EXPECT_EQ(t.pointSize, 9);
    EXPECT_EQ(t.typeface, "Arial");
    ASSERT_EQ(t.items.size(), 2u);
    EXPECT_EQ(t.items[0].id, -1);
    EXPECT_EQ(t.items[0].controlClass, ControlClass::Static);
    EXPECT_TRUE(t.items[0].title.isOrdinal);
    EXPECT_EQ(t.items[0].title.ordinal, 42);
    EXPECT_EQ(t.items[0].extra, (std::vector<uint8_t>{0xAA, 0xBB, 0xCC}));
    EXPECT_EQ(t.items[1].id, 1003);
    EXPECT_EQ(t.items[1].controlClass, ControlClass::Button);
    EXPECT_EQ(t.items[1].title.text, "Box");
}
