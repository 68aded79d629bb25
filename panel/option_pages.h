// Where the controls of the three option pages go ("Split", "Filters", "Other"): labels, check
// boxes, fields, captions and the "Remove:" frame, from the host's metrics, the row pitch and
// the widths of texts in the control font.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "panel/panel_layout.h"

// The option a check box or field edits; None for labels, captions and frames.
enum class OptionControl {
  None,
  Comments,
  Variations,
  Tags,
  Nags,
  Duplicates,
  AddEcoNames,
  RemoveOldEcoTags,
  DoNotRewrite,
  SplitEco,
  SplitWhite,
  SplitBlack,
  SplitPlayer,
  SplitDate,
  SplitTournament,
  SplitWhiteElo,
  SplitBlackElo,
  SplitResult,
  ResultWhiteWins,
  ResultDraw,
  ResultBlackWins,
  ResultUnfinished,
  DateFromYear,
  DateFromMonth,
  DateFromDay,
  DateToYear,
  DateToMonth,
  DateToDay,
  WhitePlayer,
  BlackPlayer,
  IgnoreColour,
  WhiteEloFrom,
  WhiteEloTo,
  BlackEloFrom,
  BlackEloTo,
  EcoOpening,
  MovesFrom,
  MovesTo,
};

enum class PageItemKind { Label, Caption, CheckBox, Field, Frame };

struct PageItem {
  PageItemKind kind = PageItemKind::Label;
  OptionControl control = OptionControl::None;
  std::string text;     // a label's or a check box's text, a caption, the frame's title
  PanelRectangle rect;  // a check box: the box; a field: the edit window; a label: its text
};

struct OptionPage {
  std::vector<PageItem> items;
  int32_t bottom = 0;  // the top of the last row + the row pitch
};

// The widths and height of texts in the control font.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual int32_t Width(std::string_view text) = 0;
  virtual int32_t Height() = 0;
};

// The pages in the order of their tabs' pages: SplitPage, FiltersPage, OtherPage (index page - 1).
std::array<OptionPage, 3> LayOutOptionPages(const PanelMetrics& metrics, int32_t rowPitch, TextMeasure& measure);

// The panel's least height: 450, or what the tallest page needs below its last row.
int32_t MinimumPanelHeight(const std::array<OptionPage, 3>& pages, const PanelMetrics& metrics);
