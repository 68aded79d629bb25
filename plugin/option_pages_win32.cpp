#include "plugin/option_pages_win32.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "options/processing_options.h"
#include "panel/option_checks.h"
#include "panel/option_pages.h"
#include "plugin/panel_view_win32.h"
#include "plugin/plugin_state_win32.h"

namespace {

struct PageControl {
  PageItem item;
  HWND window = nullptr;
  std::unique_ptr<HostCheckBox> box;  // the host keeps a pointer to it while the box lives
};

std::array<OptionPage, 3> pages;
std::array<std::vector<PageControl>, 3> controls;

// Text widths in the control font, for the pages' layout.
class ControlFontMeasure : public TextMeasure {
 public:
  explicit ControlFontMeasure(HWND measured) : window(measured), dc(GetDC(measured)) {
    old = SelectObject(dc, PanelView.controlFont);
  }
  ~ControlFontMeasure() override {
    SelectObject(dc, old);
    ReleaseDC(window, dc);
  }
  int32_t Width(std::string_view text) override { return Size(text).cx; }
  int32_t Height() override { return Size("Save to").cy; }

 private:
  SIZE Size(std::string_view text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.data(), int(text.size()), &size);
    return size;
  }
  HWND window;
  HDC dc;
  HGDIOBJ old;
};

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

// A box changed: its option follows, and the boxes it excludes are unchecked at once.
void Changed(OptionControl control) {
  PageControl* c = Find(control);
  if (!c || !c->box) return;
  for (OptionControl other : SetChecked(ProcessingOptions, control, c->box->state == 1))
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
    ControlFontMeasure measure(panel);
    pages = LayOutOptionPages(PanelView.metrics, PanelView.rowPitch, measure);
  }
  Plugin.minimumHeight = std::max(Plugin.minimumHeight, MinimumPanelHeight(pages, PanelView.metrics));
  // Built in the order Other, Split, Filters.
  for (size_t index : {size_t(2), size_t(0), size_t(1)}) {
    controls[index].clear();
    for (const PageItem& item : pages[index].items) {
      if (item.kind != PageItemKind::CheckBox && item.kind != PageItemKind::Field) continue;
      PageControl c;
      c.item = item;
      if (item.kind == PageItemKind::CheckBox) {
        c.box = std::make_unique<HostCheckBox>();
        c.box->state = IsChecked(ProcessingOptions, item.control) ? 1 : 2;
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
        c.window = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, item.rect.left, item.rect.top,
                                   item.rect.Width(), item.rect.Height(), panel, nullptr, Plugin.instance, nullptr);
        SendMessageW(c.window, WM_SETFONT, WPARAM(PanelView.controlFont), FALSE);
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
  HGDIOBJ old = SelectObject(dc, PanelView.controlFont);
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

void RefreshOptionChecks() {
  for (auto& page : controls)
    for (PageControl& c : page)
      if (c.box) ShowState(c, IsChecked(ProcessingOptions, c.item.control));
}
