// Text measured without a font, for layout tests: every character 7 pixels wide, text 15
// pixels high.
#pragma once

#include <string_view>

#include "panel/option_pages.h"

class FixedMeasure : public TextMeasure {
 public:
  int32_t Width(std::string_view text) override { return int32_t(text.size()) * 7; }
  int32_t Height() override { return 15; }
};
