#include <climits>

#include <gtest/gtest.h>

#include "common/UnitPalette.h"
#include "common/UnitText.h"

namespace mlb {
namespace {

TEST(SameText, IgnoresCaseOfCzechLetters) {
  EXPECT_TRUE(SameText(QStringLiteral("BODU ČÍSLO1"), QStringLiteral("bodu číslo1")));
  EXPECT_TRUE(SameText(QStringLiteral("ŘÍZENÍ Ů"), QStringLiteral("řízení ů")));
  EXPECT_FALSE(SameText(QStringLiteral("bodu číslo1"), QStringLiteral("bodu číslo2")));
  EXPECT_FALSE(SameText(QStringLiteral("bodu"), QStringLiteral("bodu1")));
  EXPECT_FALSE(SameText(QStringLiteral("c"), QStringLiteral("č")));
}

TEST(Palette, ColourAndIndexRules) {
  EXPECT_EQ(kPalette.size(), 65u);
  EXPECT_EQ(PaletteColor(0), 0x0000FFu);
  EXPECT_EQ(PaletteColor(65), 0x0000FFu);    // |i| mod 65
  EXPECT_EQ(PaletteColor(-1), 0x00FFFFu);    // the last entry
  EXPECT_EQ(PaletteColor(-2), kPalette[2]);  // |i|
  EXPECT_EQ(PaletteColor(64), 0x00FFFFu);
  EXPECT_EQ(PaletteColor(INT_MIN), kPalette[static_cast<std::size_t>(2147483648LL % 65)]);
  EXPECT_EQ(PaletteIndex(0x32CD32), 2);  // also entry 35: the first wins
  EXPECT_EQ(PaletteIndex(0x123456), 0);  // not in the palette
  EXPECT_EQ(PaletteIndex(0x00FFFF), 64);
}

}  // namespace
}  // namespace mlb
