#include "panel/option_pages.h"

#include <algorithm>

#include "panel/panel_size.h"

namespace {

// Places the items of one page row by row: texts, boxes and fields centred in the row.
class PageBuilder {
 public:
  PageBuilder(const PanelMetrics& metrics, int32_t rowPitch, TextMeasure& measure)
      : m(metrics), pitch(rowPitch), text(measure) {}

  int32_t LabelAt(int32_t x, int32_t rowTop, std::string_view label, OptionControl control = OptionControl::None) {
    const int32_t width = text.Width(label), height = text.Height();
    const int32_t y = rowTop + (pitch - height) / 2;
    page.items.push_back(PageItem{PageItemKind::Label, control, std::string(label), {x, y, x + width, y + height}});
    return x + width;
  }
  // A check box with its label CW + 5 to its right; returns where the label ends.
  int32_t CheckAt(int32_t x, int32_t rowTop, std::string_view label, OptionControl control) {
    const int32_t y = rowTop + (pitch - m.checkHeight) / 2;
    page.items.push_back(
        PageItem{PageItemKind::CheckBox, control, std::string(label), {x, y, x + m.checkWidth, y + m.checkHeight}});
    return LabelAt(x + m.checkWidth + 5, rowTop, label);
  }
  PanelRectangle FieldAt(int32_t x, int32_t rowTop, int32_t width, OptionControl control) {
    const int32_t height = m.fontHeight + 1;
    const int32_t y = rowTop + (pitch - height) / 2;
    const PanelRectangle rect{x, y, x + width, y + height};
    page.items.push_back(PageItem{PageItemKind::Field, control, {}, rect});
    return rect;
  }
  // A caption under a field, its right edge on the field's.
  void CaptionUnder(const PanelRectangle& field, std::string_view caption) {
    const int32_t width = text.Width(caption);
    page.items.push_back(
        PageItem{PageItemKind::Caption,
                 OptionControl::None,
                 std::string(caption),
                 {field.right - width, field.bottom + 1, field.right, field.bottom + 1 + text.Height()}});
  }
  OptionPage Finish(int32_t lastRowTop) {
    page.bottom = lastRowTop + pitch;
    return std::move(page);
  }

  const PanelMetrics& m;
  const int32_t pitch;
  TextMeasure& text;
  OptionPage page;
};

OptionPage LayOutOtherPage(const PanelMetrics& m, int32_t pitch, TextMeasure& text) {
  PageBuilder b(m, pitch, text);
  const int32_t L = m.marginLeft, T = m.marginTop;
  const char* const tagsSample = "Except seven tag roster";
  const char* const nagsSample = "Except basic (! ? !! ?? !? ?!)";
  const int32_t widest = std::max(
      {text.Width("Remove:"), m.checkWidth + 10 + text.Width("Comments"), m.checkWidth + 10 + text.Width("Duplicates"),
       text.Width("Tags:") + text.Width(tagsSample) + 15, text.Width("NAGs:") + text.Width(nagsSample) + 15});
  const int32_t frameLeft = L + 15, frameRight = L + 15 + widest + 20;
  int32_t row = T + 50 + text.Height();
  b.CheckAt(L + 25, row, "Comments", OptionControl::Comments);
  row += pitch;
  b.CheckAt(L + 25, row, "Variations", OptionControl::Variations);
  row += pitch;
  b.LabelAt(L + 25, row, "Tags:");
  b.FieldAt(L + 30 + text.Width("Tags:"), row, text.Width(tagsSample) + 5, OptionControl::Tags);
  row += pitch;
  b.LabelAt(L + 25, row, "NAGs:");
  b.FieldAt(L + 30 + text.Width("NAGs:"), row, text.Width(nagsSample) + 5, OptionControl::Nags);
  row += pitch;
  b.CheckAt(L + 25, row, "Duplicates", OptionControl::Duplicates);
  // The frame's top runs through the middle of its title.
  const int32_t frameTop = T + 45 + text.Height() / 2, frameBottom = row + pitch + 5;
  b.page.items.insert(
      b.page.items.begin(),
      PageItem{PageItemKind::Frame, OptionControl::None, "Remove:", {frameLeft, frameTop, frameRight, frameBottom}});
  row = frameBottom + 7;
  b.CheckAt(L + 15, row, "Add names of ECO openings", OptionControl::AddEcoNames);
  row += pitch + 5;
  b.CheckAt(L + 15, row, "Remove old ECO tags, if exist", OptionControl::RemoveOldEcoTags);
  row += pitch + 5;
  b.CheckAt(L + 15, row, "Do not rewrite existing pgn files", OptionControl::DoNotRewrite);
  return b.Finish(row);
}

OptionPage LayOutSplitPage(const PanelMetrics& m, int32_t pitch, TextMeasure& text) {
  PageBuilder b(m, pitch, text);
  const int32_t x = m.marginLeft + 20;
  int32_t row = m.marginTop + 45;
  auto field = [&](const char* label, int32_t width, OptionControl control) {
    return b.FieldAt(b.LabelAt(x, row, label) + 5, row, width, control);
  };
  field("By ECO. Level:", text.Width("A00 - E99") + 10, OptionControl::SplitEco);
  row += pitch;
  b.CheckAt(x, row, "By white's name", OptionControl::SplitWhite);
  row += pitch;
  b.CheckAt(x, row, "By black's name", OptionControl::SplitBlack);
  row += pitch;
  b.CheckAt(x, row, "By player's name (irrespective of color)", OptionControl::SplitPlayer);
  row += pitch;
  field("By date:", text.Width("By months") + 10, OptionControl::SplitDate);
  row += pitch;
  b.CheckAt(x, row, "By tournament", OptionControl::SplitTournament);
  row += pitch;
  PanelRectangle elo = field("By white's ELO. Into", text.Width("8888") + 20, OptionControl::SplitWhiteElo);
  b.LabelAt(elo.right + 3, row, "parts");
  row += pitch;
  elo = field("By black's ELO. Into", text.Width("8888") + 20, OptionControl::SplitBlackElo);
  b.LabelAt(elo.right + 3, row, "parts");
  row += pitch;
  b.CheckAt(x, row, "By result", OptionControl::SplitResult);
  return b.Finish(row);
}

OptionPage LayOutFiltersPage(const PanelMetrics& m, int32_t pitch, TextMeasure& text) {
  PageBuilder b(m, pitch, text);
  const int32_t x = m.marginLeft + 20;
  int32_t row = m.marginTop + 45;

  int32_t boxX = b.LabelAt(x, row, "Save games with the result:") + 10;
  const std::pair<const char*, OptionControl> results[] = {{"1-0;", OptionControl::ResultWhiteWins},
                                                           {"1/2-1/2;", OptionControl::ResultDraw},
                                                           {"0-1;", OptionControl::ResultBlackWins},
                                                           {"*.", OptionControl::ResultUnfinished}};
  for (const auto& [label, control] : results) {
    b.CheckAt(boxX, row, label, control);
    boxX += m.checkWidth + text.Width(label) + 5;  // each box the width of a box, its label and 5 after the one before
  }

  // Dates: year, month and day fields 5 apart, "year", "month", "day" beneath the first row's.
  const int32_t yearWidth = text.Width("88888") + 30, monthWidth = text.Width("September") + 30,
                dayWidth = text.Width("any") + 30;
  row += pitch + 2;
  const int32_t yearX = b.LabelAt(x, row, "Date of game: from") + 5;
  const PanelRectangle fromYear = b.FieldAt(yearX, row, yearWidth, OptionControl::DateFromYear);
  const PanelRectangle fromMonth = b.FieldAt(fromYear.right + 5, row, monthWidth, OptionControl::DateFromMonth);
  const PanelRectangle fromDay = b.FieldAt(fromMonth.right + 5, row, dayWidth, OptionControl::DateFromDay);
  b.CaptionUnder(fromYear, "year");
  b.CaptionUnder(fromMonth, "month");
  b.CaptionUnder(fromDay, "day");
  row += pitch + text.Height();
  b.LabelAt(yearX - 5 - text.Width("to"), row, "to");
  b.FieldAt(yearX, row, yearWidth, OptionControl::DateToYear);
  b.FieldAt(fromMonth.left, row, monthWidth, OptionControl::DateToMonth);
  b.FieldAt(fromDay.left, row, dayWidth, OptionControl::DateToDay);

  const int32_t nameWidth = text.Width("Nepomniachtchi, Ian") + 20;
  row += pitch + 4;
  b.FieldAt(b.LabelAt(x, row, "White player:") + 5, row, nameWidth, OptionControl::WhitePlayer);
  row += pitch;
  b.FieldAt(b.LabelAt(x, row, "Black player:") + 5, row, nameWidth, OptionControl::BlackPlayer);
  row += pitch;
  b.CheckAt(x, row, "Do not count the color of player", OptionControl::IgnoreColour);

  // A range: the first field, "to" 7 right of it, the second field width("to") + 15 after it.
  auto range = [&](const char* label, int32_t firstWidth, OptionControl first, int32_t secondWidth,
                   OptionControl second) {
    const PanelRectangle from = b.FieldAt(b.LabelAt(x, row, label) + 5, row, firstWidth, first);
    b.LabelAt(from.right + 7, row, "to");
    b.FieldAt(from.right + text.Width("to") + 15, row, secondWidth, second);
  };
  const int32_t anyWidth = text.Width("any") + 30;
  row += pitch + 4;
  range("White's ELO: from", text.Width("8888") + 30, OptionControl::WhiteEloFrom, anyWidth, OptionControl::WhiteEloTo);
  row += pitch;
  range("Blask's ELO: from", text.Width("8888") + 30, OptionControl::BlackEloFrom, anyWidth, OptionControl::BlackEloTo);
  row += pitch + 4;
  b.FieldAt(b.LabelAt(x, row, "ECO opening:") + 5, row, anyWidth, OptionControl::EcoOpening);
  row += pitch + 4;
  range("Games with the number of moves: from", text.Width("100") + 20, OptionControl::MovesFrom, anyWidth,
        OptionControl::MovesTo);
  return b.Finish(row);
}

}  // namespace

std::array<OptionPage, 3> LayOutOptionPages(const PanelMetrics& metrics, int32_t rowPitch, TextMeasure& measure) {
  return {LayOutSplitPage(metrics, rowPitch, measure), LayOutFiltersPage(metrics, rowPitch, measure),
          LayOutOtherPage(metrics, rowPitch, measure)};
}

int32_t MinimumPanelHeight(const std::array<OptionPage, 3>& pages, const PanelMetrics& metrics) {
  int32_t height = StartMinimumHeight;
  for (const OptionPage& page : pages) height = std::max(height, page.bottom + metrics.marginBottom + 52);
  return height;
}
