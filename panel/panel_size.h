// The panel's size for the screen's resolution: the panel is designed at 120 dots per inch and
// scaled by the resolution, in integer arithmetic.
#pragma once

#include <cstdint>

struct PanelSizes {
  int32_t width = 0, height = 0;
  int32_t minimumWidth = 0;
  bool operator==(const PanelSizes&) const = default;
};

// 640 x 450 with a minimum width of 600 at 120 dots per inch, in proportion at any other.
PanelSizes PanelSizesFor(int32_t dotsPerInch);

// The minimum height the panel starts with, before its pages raise it.
constexpr int32_t StartMinimumHeight = 450;
