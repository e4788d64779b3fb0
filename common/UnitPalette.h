// The 65-colour palette from which mark and curve colours are taken.
#pragma once

#include <array>

#include "common/UnitTypes.h"

namespace mlb {

inline constexpr int kPaletteSize = 65;
extern const std::array<TColor, kPaletteSize> kPalette;

// Palette colour i is entry |i| mod 65, except that -1 gives the last entry.
TColor PaletteColor(int i);
// First palette index holding the colour, 0 when the colour is not in the palette.
int PaletteIndex(TColor c);

}  // namespace mlb
