#include "panel/panel_size.h"

PanelSizes PanelSizesFor(int32_t dotsPerInch) {
  const int64_t d = dotsPerInch > 0 ? dotsPerInch : 96;
  return PanelSizes{int32_t(d * 640 / 120), int32_t(d * 450 / 120), int32_t(d * 600 / 120)};
}
