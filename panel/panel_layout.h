// Where the panel's parts go: the tab strip, the bottom bar and the "Games" list, from the
// host's margins and font height and the panel's client size. Pure arithmetic; the panel window
// moves its controls and paints by it.
#pragma once

#include <array>
#include <cstdint>

struct PanelRectangle {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  // All four bounds inclusive.
  bool Contains(int32_t x, int32_t y) const { return x >= left && x <= right && y >= top && y <= bottom; }
  bool operator==(const PanelRectangle&) const = default;
};

// The host's metrics the layout depends on.
struct PanelMetrics {
  int32_t marginTop = 0, marginBottom = 0, marginLeft = 0, marginRight = 0;
  int32_t checkHeight = 0, checkWidth = 0;
  int32_t fontHeight = 0;  // the host's text height
};

enum PanelPage : int { GamesPage = 0, SplitPage = 1, FiltersPage = 2, OtherPage = 3 };
constexpr int NoTab = 4;
constexpr int PageCount = 4;

struct PanelLayout {
  int32_t width = 0, height = 0;  // the client size it was made for
  int32_t stripLeft = 0, stripRight = 0, stripTop = 0, stripBottom = 0;
  std::array<PanelRectangle, PageCount> tabs;

  PanelRectangle menuButton, outputField, browseButton, startButton;
  int32_t saveToX = 0;  // the "Save to" label, vertically centred on the output field

  // The "Games" list: column k (0..5) runs from columnEdges[k] to columnEdges[k + 1].
  std::array<int32_t, 7> columnEdges{};
  int32_t headerTop = 0, headerBottom = 0;
  int32_t rowsTop = 0, rowsBottom = 0;
};

// The row pitch of the option pages: the taller of "Save to"'s text height + 1 and a check box,
// plus 10.
int32_t RowPitch(int32_t saveToTextHeight, int32_t checkHeight);

// The list's row height from the host's text height.
int32_t ListRowHeight(int32_t fontHeight);

// Lays the panel out for a client size; `saveToWidth` is the width of "Save to" in the control
// font.
PanelLayout LayOutPanel(const PanelMetrics& metrics, int32_t width, int32_t height, int32_t saveToWidth);

// The tab under a point (0..3), or NoTab outside the strip.
int TabAt(const PanelLayout& layout, int32_t x, int32_t y);
// The list column header under a point (1..6), or 0.
int HeaderAt(const PanelLayout& layout, int32_t x, int32_t y);
// Whether a point lies on the list's rows.
bool OnListRows(const PanelLayout& layout, int32_t x, int32_t y);
