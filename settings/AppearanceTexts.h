#pragma once
// The texts of the Appearance page: the page's own English copy, shown when
// the language file cannot supply a text, and which text of string set 3
// captions which control. Captions carry access keys, each key once a page.
#include <cstdint>
#include <utility>

namespace Vesperon {

struct AppearanceText {
  std::int32_t id;
  const char* text;
};

inline constexpr AppearanceText kAppearanceBuiltInTexts[] = {
    {1, "Left to right"}, {2, "Right to left"}, {3, "Top to bottom"}, {4, "Bottom to top"},
    {5, "Top left to bottom right"}, {6, "Bottom right to top left"},
    {7, "Top right to bottom left"}, {8, "Bottom left to top right"},
    {10, "&Language"}, {11, "Background"}, {12, "Ani&mation"}, {13, "&Translucency"},
    {14, "&Direction:"}, {15, "&System default"}, {16, "S&olid color"}, {17, "Tiled &image"},
    {18, "&Color..."}, {19, "&Browse..."}, {20, "Opaque"}, {21, "Translucent"},
    {22, "Roll"}, {23, "Slide"}, {24, "Fade"},
};

// The static texts of the set and the dialog item each one captions.
inline constexpr std::pair<std::int32_t, int> kAppearanceCaptions[] = {
    {10, 1044}, {11, 1045}, {12, 1046}, {13, 1047}, {14, 1053}, {15, 1039},
    {16, 1040}, {17, 1041}, {18, 1042}, {19, 1043}, {20, 1049}, {21, 1050},
};

}  // namespace Vesperon
