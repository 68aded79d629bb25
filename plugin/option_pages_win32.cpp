#include "plugin/option_pages_win32.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "job/game_list.h"
#include "options/processing_options.h"
#include "panel/option_checks.h"
#include "panel/option_fields.h"
#include "panel/option_pages.h"
#include "plugin/check_list_win32.h"
#include "plugin/nag_window_win32.h"
#include "plugin/panel_view_win32.h"
#include "plugin/plugin_state_win32.h"
#include "plugin/text_measure_win32.h"

namespace {

struct PageControl {
  PageItem item;
  HWND window = nullptr;
  std::unique_ptr<HostCheckBox> box;  // the host keeps a pointer to it while the box lives
  std::unique_ptr<TCHeckList> field;  // the field's window procedure keeps a pointer to it
};

std::array<OptionPage, 3> pages;
std::array<std::vector<PageControl>, 3> controls;
// The names behind the player fields' items, as their lists last showed them.
std::vector<std::string> whiteNames{std::string()}, blackNames{std::string()};

PageControl* Find(OptionControl control) {
  for (auto& page : controls)
    for (PageControl& c : page)
      if (c.item.control == control) return &c;
  return nullptr;
}

void ShowState(PageControl& c, bool checked) {
  if (!c.box) return;
  c.box->state = checked ? 1 : 2;
  InvalidateRect(c.window, nullptr, TRUE);
}

// A box changed: its option follows, and the boxes it excludes are unchecked at once. A value
// typed into a field and not committed yet is committed first.
void Changed(OptionControl control) {
  CommitFocusedCheckList(Plugin.panel);
  PageControl* c = Find(control);
  if (!c || !c->box) return;
  for (OptionControl other : SetChecked(Plugin.session.ProcessingOptions, control, c->box->state == 1))
    if (PageControl* excluded = Find(other)) {
      ShowState(*excluded, false);
      UpdateWindow(excluded->window);
    }
}

template <OptionControl C>
void __stdcall OnChange() {
  Changed(C);
}

HostCheckChangedFn CallbackFor(OptionControl control) {
  switch (control) {
#define PGN_CHECK(name)     \
  case OptionControl::name: \
    return &OnChange<OptionControl::name>;
    PGN_CHECK(Comments)
    PGN_CHECK(Variations)
    PGN_CHECK(Duplicates)
    PGN_CHECK(AddEcoNames)
    PGN_CHECK(RemoveOldEcoTags)
    PGN_CHECK(DoNotRewrite)
    PGN_CHECK(SplitWhite)
    PGN_CHECK(SplitBlack)
    PGN_CHECK(SplitPlayer)
    PGN_CHECK(SplitTournament)
    PGN_CHECK(SplitResult)
    PGN_CHECK(ResultWhiteWins)
    PGN_CHECK(ResultDraw)
    PGN_CHECK(ResultBlackWins)
    PGN_CHECK(ResultUnfinished)
    PGN_CHECK(IgnoreColour)
#undef PGN_CHECK
    default:
      return nullptr;
  }
}

// A field's validator: a choice or typed text through the field's rules; "Options..." in the
// "NAGs:" field runs the NAG selection window.
FieldValidator ValidatorFor(OptionControl control, TCHeckList* field) {
  return [control, field](int32_t index, const std::u16string& text) -> std::optional<int32_t> {
    const std::vector<std::string>& names = control == OptionControl::WhitePlayer ? whiteNames : blackNames;
    const FieldOutcome outcome = index >= 0
                                     ? ChooseFieldItem(Plugin.session.ProcessingOptions, control, index, names)
                                     : TypeFieldText(Plugin.session.ProcessingOptions, control, text, field->index);
    switch (outcome.verdict) {
      case FieldVerdict::Accepted:
        return outcome.index;
      case FieldVerdict::AskNagWindow:
        // Saved: the field names the set kept ("Except basic" for the six glyphs alone), as
        // its refresh would.
        if (RunNagSelection()) return ShownField(Plugin.session.ProcessingOptions, control).index;
        return std::nullopt;
      default:
        return std::nullopt;
    }
  };
}

// The player fields offer the names of the games listed when their list opens.
void RebuildPlayerItems(OptionControl control, TCHeckList& field) {
  const bool white = control == OptionControl::WhitePlayer;
  PlayerChoices choices =
      PlayerItems(Plugin.session.GameList, white, white && Plugin.session.ProcessingOptions.ignorePlayerColour);
  field.items = std::move(choices.items);
  (white ? whiteNames : blackNames) = std::move(choices.names);
}

std::unique_ptr<TCHeckList> MakeField(OptionControl control) {
  auto field = std::make_unique<TCHeckList>();
  field->items = FieldItems(control);
  field->text = field->items.empty() ? std::u16string() : field->items[0];
  field->index = 0;
  field->readOnly = FieldIsReadOnly(control);
  field->validator = ValidatorFor(control, field.get());
  if (control == OptionControl::WhitePlayer || control == OptionControl::BlackPlayer)
    field->beforeOpen = [control](TCHeckList& f) { RebuildPlayerItems(control, f); };
  return field;
}

void Frame(HDC dc, const PanelRectangle& r) {
  HBRUSH brush = CreateSolidBrush(LineColour());
  RECT around{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
  FrameRect(dc, &around, brush);
  DeleteObject(brush);
}

// The "Remove:" frame: its top edge broken where the title stands on it, centred.
void GroupFrame(HDC dc, const PageItem& frame) {
  const PanelRectangle& r = frame.rect;
  SIZE title{};
  GetTextExtentPoint32A(dc, frame.text.data(), int(frame.text.size()), &title);
  const int titleLeft = (r.left + r.right - title.cx) / 2;
  HPEN pen = CreatePen(PS_SOLID, 1, LineColour());
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, titleLeft - 4, r.top, nullptr);
  LineTo(dc, r.left, r.top);
  LineTo(dc, r.left, r.bottom);
  LineTo(dc, r.right, r.bottom);
  LineTo(dc, r.right, r.top);
  LineTo(dc, titleLeft + title.cx + 4, r.top);
  SelectObject(dc, old);
  DeleteObject(pen);
  TextOutA(dc, titleLeft, r.top - title.cy / 2, frame.text.data(), int(frame.text.size()));
}

}  // namespace

void BuildOptionPages(HWND panel) {
  {
    FontMeasure measure(panel, Plugin.view.controlFont);
    pages = LayOutOptionPages(Plugin.view.metrics, Plugin.view.rowPitch, measure);
  }
  Plugin.minimumHeight = std::max(Plugin.minimumHeight, MinimumPanelHeight(pages, Plugin.view.metrics));
  // Built in the order Other, Split, Filters.
  for (size_t index : {size_t(2), size_t(0), size_t(1)}) {
    controls[index].clear();
    for (const PageItem& item : pages[index].items) {
      if (item.kind != PageItemKind::CheckBox && item.kind != PageItemKind::Field) continue;
      PageControl c;
      c.item = item;
      if (item.kind == PageItemKind::CheckBox) {
        c.box = std::make_unique<HostCheckBox>();
        c.box->state = IsChecked(Plugin.session.ProcessingOptions, item.control) ? 1 : 2;
        c.box->onChange = CallbackFor(item.control);
        c.box->flag = 0;
        if (Plugin.host.checkBox) Plugin.host.checkBox(c.box.get(), item.rect.left, item.rect.top, panel);
        c.window = static_cast<HWND>(c.box->window);
        if (c.window) {
          // Named after its label, for whoever looks for it by name.
          const std::wstring name(item.text.begin(), item.text.end());
          SetWindowTextW(c.window, name.c_str());
          ShowWindow(c.window, SW_HIDE);
        }
      } else {
        c.field = MakeField(item.control);
        CreateCheckList(*c.field, item.rect.left, item.rect.top, item.rect.Width(), panel);
        c.window = c.field->window;
        if (c.window) ShowWindow(c.window, SW_HIDE);
      }
      controls[index].push_back(std::move(c));
    }
  }
}

void ShowOptionPage(int page, bool shown) {
  if (page < SplitPage || page > OtherPage) return;
  for (PageControl& c : controls[size_t(page - 1)])
    if (c.window) ShowWindow(c.window, shown ? SW_SHOW : SW_HIDE);
}

void PaintOptionPage(HDC dc, int page) {
  if (page < SplitPage || page > OtherPage) return;
  HGDIOBJ old = SelectObject(dc, Plugin.view.controlFont);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  for (const PageItem& item : pages[size_t(page - 1)].items) {
    switch (item.kind) {
      case PageItemKind::Label:
      case PageItemKind::Caption:
        TextOutA(dc, item.rect.left, item.rect.top, item.text.data(), int(item.text.size()));
        break;
      case PageItemKind::CheckBox:  // its label is an item of its own; the box paints itself
        break;
      case PageItemKind::Field:
        Frame(dc, item.rect);
        break;
      case PageItemKind::Frame:
        GroupFrame(dc, item);
        break;
    }
  }
  SelectObject(dc, old);
}

void RefreshOptionValues() {
  NormaliseOptions(Plugin.session.ProcessingOptions);
  for (auto& page : controls)
    for (PageControl& c : page) {
      if (c.box) ShowState(c, IsChecked(Plugin.session.ProcessingOptions, c.item.control));
      if (c.field) {
        const FieldShown shown = ShownField(Plugin.session.ProcessingOptions, c.item.control);
        ShowCheckListValue(*c.field, shown.text, shown.index);
      }
    }
}
