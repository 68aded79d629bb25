#include "panel/panel_layout.h"

#include <algorithm>

namespace {

constexpr std::array<int32_t, 6> ColumnWeights = {4, 12, 12, 9, 12, 8};
constexpr int32_t WeightSum = 57;

}  // namespace

int32_t RowPitch(int32_t saveToTextHeight, int32_t checkHeight) {
  return std::max(saveToTextHeight + 1, checkHeight) + 10;
}

int32_t ListRowHeight(int32_t fontHeight) { return fontHeight * 3 / 2 + 1; }

PanelLayout LayOutPanel(const PanelMetrics& m, int32_t width, int32_t height, int32_t saveToWidth) {
  PanelLayout l;
  l.width = width;
  l.height = height;
  const int32_t b = m.marginLeft + 15, c = width - m.marginRight - 15;
  l.stripLeft = b;
  l.stripRight = c;
  l.stripTop = m.marginTop;
  l.stripBottom = m.marginTop + 35;
  for (int i = 0; i < PageCount; ++i)
    l.tabs[size_t(i)] =
        PanelRectangle{((4 - i) * b + i * c) / 4, l.stripTop, ((3 - i) * b + (i + 1) * c) / 4, l.stripBottom};

  const int32_t barTop = height - m.marginBottom - 42;
  l.menuButton = PanelRectangle{m.marginLeft + 10, barTop, m.marginLeft + 10 + 44, barTop + 28};
  l.saveToX = m.marginLeft + 64;
  const int32_t fieldX = m.marginLeft + saveToWidth + 69;
  const int32_t fieldY = barTop + (27 - m.fontHeight) / 2;
  l.outputField =
      PanelRectangle{fieldX, fieldY, fieldX + (width - m.marginRight - fieldX - 220), fieldY + m.fontHeight + 1};
  const int32_t browseX = width - m.marginRight - 215, browseY = height - m.marginBottom - 39;
  l.browseButton = PanelRectangle{browseX, browseY, browseX + 90, browseY + 21};
  const int32_t startX = width - m.marginRight - 115;
  l.startButton = PanelRectangle{startX, barTop, startX + 105, barTop + 28};

  int32_t d = 0;
  for (size_t k = 0; k < ColumnWeights.size(); ++k) {
    l.columnEdges[k] = (b * (WeightSum - d) + c * d) / WeightSum;
    d += ColumnWeights[k];
  }
  l.columnEdges[6] = c;
  l.headerTop = l.stripBottom + 5;
  l.headerBottom = l.headerTop + 2 * m.fontHeight;
  l.rowsTop = l.headerBottom + 1;
  l.rowsBottom = height - m.marginBottom - 50;
  return l;
}

int TabAt(const PanelLayout& l, int32_t x, int32_t y) {
  if (y < l.stripTop || y > l.stripBottom || x < l.stripLeft || x > l.stripRight) return NoTab;
  for (int i = 0; i < PageCount; ++i)
    if (x >= l.tabs[size_t(i)].left && x < l.tabs[size_t(i)].right) return i;
  return PageCount - 1;  // the strip's right end belongs to the last tab
}

int HeaderAt(const PanelLayout& l, int32_t x, int32_t y) {
  if (y < l.headerTop || y > l.headerBottom || x < l.columnEdges[0] || x > l.columnEdges[6]) return 0;
  for (int k = 0; k < 6; ++k)
    if (x >= l.columnEdges[size_t(k)] && x < l.columnEdges[size_t(k) + 1]) return k + 1;
  return 6;
}

bool OnListRows(const PanelLayout& l, int32_t x, int32_t y) {
  return y >= l.rowsTop && y < l.rowsBottom && x >= l.columnEdges[0] && x <= l.columnEdges[6];
}
