// Where the parts of the two auxiliary windows go, the NAG selection window and the rename
// window, from the host's metrics and the widths of texts in the panel font; and where such a
// window appears near the mouse.
#pragma once

#include <array>
#include <cstdint>

#include "dialogs/nag_selection.h"
#include "panel/option_pages.h"
#include "panel/panel_layout.h"

// The host's buttons of a dialog: 105 x 28, their tops at height - B - 42, the first at
// width - L - 226 and the second at width - L - 113.
struct DialogButtons {
  PanelRectangle first, second;
};
DialogButtons PlaceDialogButtons(const PanelMetrics& metrics, int32_t width, int32_t height);

struct NagWindowLayout {
  int32_t headingX = 0, headingY = 0;
  std::array<PanelRectangle, NagBoxCount> boxes;
  std::array<int32_t, NagBoxCount> labelX{}, labelY{};  // 4 pixels right of the box, centred on it
  int32_t width = 0, height = 0;
  DialogButtons buttons;  // "Save", "Cancel"
};
// The heading "Leave the following NAGs:" and five rows of boxes `rowPitch` apart: the six
// basic NAGs, then 7 and 8, then 9, then the position NAGs, then time pressure.
NagWindowLayout LayOutNagWindow(const PanelMetrics& metrics, int32_t rowPitch, TextMeasure& measure);

struct RenameWindowLayout {
  int32_t fromX = 0, toX = 0, headingY = 0;   // "From" and "To"
  PanelRectangle fromList, toList;            // "Names from", "Names to"
  PanelRectangle oldNameField, newNameField;  // under each list
  DialogButtons buttons;                      // "Rename", "Close"
};
RenameWindowLayout LayOutRenameWindow(const PanelMetrics& metrics, int32_t width, int32_t height, int32_t toHeight);

// A window of the given size placed at the mouse: centred on it horizontally, and with its top at
// it (`centredVertically` false) or centred on it; then pushed left and up into the work area,
// never left of 0 (nor above it). Returns the top-left corner.
struct ScreenPoint {
  int32_t x = 0, y = 0;
  bool operator==(const ScreenPoint&) const = default;
};
ScreenPoint PlaceAtCursor(int32_t width, int32_t height, ScreenPoint cursor, bool centredVertically, int32_t workRight,
                          int32_t workBottom);
