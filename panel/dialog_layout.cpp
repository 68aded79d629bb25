#include "panel/dialog_layout.h"

#include <algorithm>

DialogButtons PlaceDialogButtons(const PanelMetrics& m, int32_t width, int32_t height) {
  const int32_t top = height - m.marginBottom - 42;
  const int32_t first = width - m.marginLeft - 226, second = width - m.marginLeft - 113;
  return {{first, top, first + 105, top + 28}, {second, top, second + 105, top + 28}};
}

NagWindowLayout LayOutNagWindow(const PanelMetrics& m, int32_t rowPitch, TextMeasure& text) {
  static constexpr int rowOf[NagBoxCount] = {0, 0, 0, 0, 0, 0, 1, 1, 2, 3, 4};
  const auto& groups = NagGroups();
  NagWindowLayout l;
  l.headingX = m.marginLeft + 10;
  l.headingY = m.marginTop + 10;
  const int32_t headingHeight = text.Height();
  const int32_t firstRow = m.marginTop + 10 + headingHeight + 5;
  std::array<int32_t, NagBoxCount> labelWidth{};
  int32_t x = l.headingX;
  for (size_t i = 0; i < NagBoxCount; ++i) {
    labelWidth[i] = text.Width(groups[i].label);
    if (i > 0 && rowOf[i] != rowOf[i - 1]) x = l.headingX;
    const int32_t y = firstRow + rowOf[i] * rowPitch + (rowPitch - m.checkHeight) / 2;
    l.boxes[i] = {x, y, x + m.checkWidth, y + m.checkHeight};
    l.labelX[i] = l.boxes[i].right + 4;
    l.labelY[i] = y + (m.checkHeight - headingHeight) / 2;
    x += m.checkWidth + labelWidth[i] + 20;
  }
  // A row's extent: from its first box to the end of its last label.
  const auto extent = [&](size_t first, size_t last) {
    return l.labelX[last] + labelWidth[last] - l.boxes[first].left;
  };
  const int32_t widest = std::max({text.Width("Leave the following NAGs:"), extent(0, 5) + 20, extent(6, 7) + 10,
                                   m.checkWidth + labelWidth[9] + 5, m.checkWidth + labelWidth[10] + 5});
  l.width = widest + m.marginLeft + m.marginRight + 20;
  l.height = m.marginTop + 10 + headingHeight + 5 + 5 * rowPitch + m.marginBottom + 52;
  l.buttons = PlaceDialogButtons(m, l.width, l.height);
  return l;
}

RenameWindowLayout LayOutRenameWindow(const PanelMetrics& m, int32_t width, int32_t height, int32_t toHeight) {
  RenameWindowLayout l;
  l.fromX = m.marginLeft + 14;
  l.toX = width / 2 + 5;
  l.headingY = m.marginTop + 10;
  const int32_t top = m.marginTop + 10 + toHeight + 3;
  const int32_t listWidth = width / 2 - 7 - (m.marginLeft + 14);
  const int32_t listHeight = height - top - m.marginBottom - (m.fontHeight + 10) - 62;
  l.fromList = {m.marginLeft + 14, top, m.marginLeft + 14 + listWidth, top + listHeight};
  l.toList = {width / 2 + 7, top, width / 2 + 7 + listWidth, top + listHeight};
  const auto under = [&](const PanelRectangle& list) {
    return PanelRectangle{list.left, list.bottom + 7, list.right, list.bottom + 7 + m.fontHeight + 3};
  };
  l.oldNameField = under(l.fromList);
  l.newNameField = under(l.toList);
  l.buttons = PlaceDialogButtons(m, width, height);
  return l;
}

ScreenPoint PlaceAtCursor(int32_t width, int32_t height, ScreenPoint cursor, bool centredVertically, int32_t workRight,
                          int32_t workBottom) {
  ScreenPoint at{cursor.x - width / 2, centredVertically ? cursor.y - height / 2 : cursor.y};
  at.x = std::max(std::min(at.x, workRight - width), 0);
  at.y = std::max(std::min(at.y, workBottom - height), 0);
  return at;
}
