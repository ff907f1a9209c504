// Dialog units to pixels, and the font metrics the units come from.
#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "dialog/dialog_units.h"
#include "dialog/font_metrics.h"

using namespace quarvel::dialog;

TEST(DialogUnits, AverageWidthAndPixelHeightAsWindowsRoundsThem) {
    // (width / 26 + 1) / 2: the average of 52 letters, rounded.
    EXPECT_EQ(std::make_tuple(AverageCharWidth(337), AverageCharWidth(338), AverageCharWidth(259)),
              std::make_tuple(6, 7, 5));
    EXPECT_EQ(std::make_tuple(PointsToPixels(8, 96), PointsToPixels(9, 96), PointsToPixels(8, 120)),
              std::make_tuple(11, 12, 13));
}

TEST(DialogUnits, TahomaEightPointLayoutAndItsRounding) {
    // Tahoma 8 at 96 dpi has base units 6 x 13: the setup dialog's Run button and frame.
    const BaseUnits tahoma{6, 13};
    RECT run = DialogUnitsToPixels(RECT{7, 90, 57, 104}, tahoma);
    EXPECT_EQ(std::make_tuple(run.left, run.top, run.right, run.bottom), std::make_tuple(11, 146, 86, 169));
    RECT frame = DialogUnitsToPixels(RECT{0, 0, 186, 111}, tahoma);
    EXPECT_EQ(std::make_pair(frame.right, frame.bottom), std::make_pair(279, 180));
    // Halves round away from zero (the Run button's left edge is 10.5 pixels), on either side
    // of it; a product past 32 bits is kept, and what does not fit an int is -1.
    EXPECT_EQ(MulDivRounded(-7, 6, 4), -11);
    EXPECT_EQ(MulDivRounded(5, 3, 0), -1);
    EXPECT_EQ(MulDivRounded(INT_MAX, 2, 1), -1);
    EXPECT_EQ(MulDivRounded(INT_MAX, 2, 2), INT_MAX);
}

TEST(FontMetrics, TemplateFontOrItsSubstituteIsMeasured) {
    DialogFont font = DialogFontFromTemplate("Tahoma", 8, 0, false);
    EXPECT_EQ(std::make_pair(font.pixelHeight, font.weight), std::make_pair(11, 400));
    BaseUnits units;
    std::string family;
    ASSERT_TRUE(MeasureBaseUnits(font, &units, &family));
    EXPECT_FALSE(family.empty());
    // A line holds at least the em height; an average letter is narrower than it.
    EXPECT_GE(units.y, font.pixelHeight);
    EXPECT_LE(units.y, 2 * font.pixelHeight);
    EXPECT_GE(units.x, 4);
    EXPECT_LT(units.x, font.pixelHeight);

    BaseUnits larger;
    ASSERT_TRUE(MeasureBaseUnits(DialogFontFromTemplate("Tahoma", 16, 0, false), &larger, nullptr));
    EXPECT_GT(larger.x, units.x);
    EXPECT_GT(larger.y, units.y);
    // 0x7FFF asks for the message-box font, which is 8 points here.
    EXPECT_EQ(DialogFontFromTemplate("MS Shell Dlg", 0x7FFF, 0, false).pixelHeight, 11);
}
