#include "plugin/panel_controls_win32.h"

#include <algorithm>
#include <string>

#include "job/game_list.h"
#include "job/job.h"
#include "job/list_view.h"
#include "options/processing_options.h"
#include "plugin/check_list_win32.h"
#include "plugin/host_button_win32.h"
#include "plugin/option_pages_win32.h"
#include "plugin/panel_updates_win32.h"
#include "plugin/panel_view_win32.h"
#include "plugin/plugin_menus_win32.h"
#include "plugin/plugin_state_win32.h"
#include "plugin/progress_window_win32.h"

namespace {

// The "Browse..." faces are loaded once per process and kept.
PanelPicture browseRest, browsePressed;
bool browseFacesLoaded = false;

PanelMetrics ReadMetrics() {
  const THostServices& h = Plugin.host;
  PanelMetrics m;
  m.marginTop = THostServices::Read<int32_t>(h.marginTop, 8);
  m.marginBottom = THostServices::Read<int32_t>(h.marginBottom, 8);
  m.marginLeft = THostServices::Read<int32_t>(h.marginLeft, 8);
  m.marginRight = THostServices::Read<int32_t>(h.marginRight, 8);
  m.checkHeight = THostServices::Read<int32_t>(h.checkBoxHeight, 16);
  m.checkWidth = THostServices::Read<int32_t>(h.checkBoxWidth, 16);
  m.fontHeight = Plugin.host.TextHeight();
  return m;
}

HFONT MakeFont(const HostLogFont* font) {
  if (!font) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  return CreateFontIndirectA(reinterpret_cast<const LOGFONTA*>(font));
}

SIZE TextSize(HWND window, HFONT font, const wchar_t* text) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text, int(wcslen(text)), &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size;
}

// The "Browse..." button: its face as the host's button state chooses, with the caption drawn
// onto a copy of it; every other message goes to the host's button class.
LRESULT CALLBACK BrowseProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return CallWindowProcW(Plugin.view.browseClassProc, window, message, wParam, lParam);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  const auto* hot = static_cast<HWND*>(Plugin.host.Data(HostDataHotButton));
  const auto* pressed = static_cast<HWND*>(Plugin.host.Data(HostDataPressedButton));
  const bool down = hot && pressed && *hot == window && *pressed == window;
  const PanelPicture& face = down ? browsePressed : browseRest;
  if (HBITMAP bitmap = face.Bitmap()) {
    HDC copy = CreateCompatibleDC(dc);
    HBITMAP canvas = CreateCompatibleBitmap(dc, 90, 21);
    HGDIOBJ old = SelectObject(copy, canvas);
    if (Plugin.host.drawImage) Plugin.host.drawImage(copy, bitmap, 0, 0, 90, 21);
    HGDIOBJ oldFont = SelectObject(copy, Plugin.view.controlFont);
    SetBkMode(copy, TRANSPARENT);
    SetTextColor(copy, RGB(0, 0, 0));
    RECT all{0, 0, 90, 21};
    DrawTextW(copy, L"Browse...", -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(copy, oldFont);
    RECT client;
    GetClientRect(window, &client);
    StretchBlt(dc, 0, 0, client.right, client.bottom, copy, 0, 0, 90, 21, SRCCOPY);
    SelectObject(copy, old);
    DeleteObject(canvas);
    DeleteDC(copy);
  }
  EndPaint(window, &paint);
  return 0;
}

// A committed output path differing from the current one resets the options first while "Make
// default automatically" is on; the pages then show the defaults. A path that names no file
// beeps and the field shows the path kept, as the option fields do with a value they refuse.
void ChangeOutputBase(const std::u16string& base) {
  switch (CommitOutputBase(Plugin.session, base)) {
    case OutputBaseCommit::Refused:
      MessageBeep(MB_OK);
      SetWindowTextW(Plugin.view.outputField, reinterpret_cast<const wchar_t*>(Plugin.session.outputBase.c_str()));
      break;
    case OutputBaseCommit::TakenAndReset:
      RefreshOptionControls();
      break;
    case OutputBaseCommit::Unchanged:
    case OutputBaseCommit::Taken:
      break;
  }
}

void __stdcall OnStart() { StartProcessing(); }

void __stdcall OnMenuButton() {
  CommitFocusedCheckList(Plugin.panel);
  RECT r;
  GetWindowRect(static_cast<HWND>(Plugin.view.menuButton.window), &r);
  // Upward: the menu's bottom-left corner at the button's top-left corner.
  PopUpPluginMenu(POINT{r.left, r.top}, true);
}

void __stdcall OnBrowse() {
  CommitFocusedCheckList(Plugin.panel);
  OPENFILENAMEW d = Plugin.fileDialog;
  const int32_t length = THostServices::Read<int32_t>(Plugin.host.pathLength, MAX_PATH);
  std::wstring name(size_t(length > 0 ? length : MAX_PATH), L'\0');
  d.lpstrFile = name.data();
  d.nMaxFile = DWORD(name.size());
  d.hwndOwner = Plugin.panel;
  if (!GetSaveFileNameW(&d) || name[0] == L'\0') return;
  name.resize(wcslen(name.c_str()));
  // The extension goes: from the last "." after the last folder separator.
  const size_t dot = name.find_last_of(L".\\/");
  if (dot != std::wstring::npos && name[dot] == L'.') name.resize(dot);
  ChangeOutputBase(std::u16string(name.begin(), name.end()));
  SetWindowTextW(Plugin.view.outputField, name.c_str());
}

// The output path field: Ctrl+A selects everything, Enter commits, Esc shows the output path
// again; the field losing the focus commits too (the panel hears of it).
WNDPROC outputFieldProc = nullptr;
LRESULT CALLBACK OutputFieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR) switch (wParam) {
      case 1:
        SendMessageW(window, EM_SETSEL, 0, -1);
        return 0;
      case VK_RETURN:
        CommitOutputField();
        return 0;
      case VK_ESCAPE:
        SetWindowTextW(window, reinterpret_cast<const wchar_t*>(Plugin.session.outputBase.c_str()));
        return 0;
      default:
        break;
    }
  return CallWindowProcW(outputFieldProc, window, message, wParam, lParam);
}

void Place(HWND window, const PanelRectangle& r) {
  if (window) MoveWindow(window, r.left, r.top, r.Width(), r.Height(), TRUE);
}

}  // namespace

void CreatePanelControls(HWND panel) {
  TPanelView& v = Plugin.view;
  Plugin.panel = panel;
  v.metrics = ReadMetrics();
  v.tab.Load(Plugin.hostFolder / "images" / "party_bg.gif");
  v.activeTab.Load(Plugin.hostFolder / "images" / "party_bg_d.gif");
  if (!browseFacesLoaded) {
    browseRest.Load(Plugin.hostFolder / "plugins" / "obzor_u.gif");
    browsePressed.Load(Plugin.hostFolder / "plugins" / "obzor_d.gif");
    browseFacesLoaded = true;
  }
  v.scrollBar = CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | SBS_VERT | SBS_RIGHTALIGN, 0, 0,
                                GetSystemMetrics(SM_CXVSCROLL), 100, panel, nullptr, Plugin.instance, nullptr);
  v.scroll.rowHeight = ListRowHeight(v.metrics.fontHeight);
  v.controlFont = MakeFont(Plugin.host.panelFont);
  v.captionFont = MakeFont(Plugin.host.captionFont);
  const std::wstring base(Plugin.session.outputBase.begin(), Plugin.session.outputBase.end());
  v.outputField = CreateWindowExW(0, L"EDIT", base.c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 100,
                                  v.metrics.fontHeight + 1, panel, nullptr, Plugin.instance, nullptr);
  SendMessageW(v.outputField, WM_SETFONT, WPARAM(v.controlFont), FALSE);
  SendMessageW(v.outputField, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(2, 2));
  outputFieldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(v.outputField, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OutputFieldProc)));
  MakeHostButton(panel, v.startButton, L"Start", 105, 28, RECT{-1, -1, 107, 30}, 28, &OnStart, true);
  MakeHostButton(panel, v.menuButton, L"menu", 44, 28, RECT{-1, -1, 46, 30}, 28, &OnMenuButton, false);
  MakeHostButton(panel, v.browseButton, L"", 90, 21, RECT{-1, -2, 92, 24}, 42, &OnBrowse, false);
  if (HWND browse = static_cast<HWND>(v.browseButton.window))
    v.browseClassProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(browse, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BrowseProc)));
  const SIZE saveTo = TextSize(panel, v.controlFont, L"Save to");
  v.saveToWidth = saveTo.cx;
  v.saveToHeight = saveTo.cy;
  v.rowPitch = RowPitch(saveTo.cy, v.metrics.checkHeight);
  BuildOptionPages(panel);
}

void LayOutPanelWindow(HWND panel, int32_t width, int32_t height) {
  TPanelView& v = Plugin.view;
  v.metrics.fontHeight = Plugin.host.TextHeight();
  v.layout = LayOutPanel(v.metrics, width, height, v.saveToWidth);
  Place(static_cast<HWND>(v.menuButton.window), v.layout.menuButton);
  Place(v.outputField, v.layout.outputField);
  Place(static_cast<HWND>(v.browseButton.window), v.layout.browseButton);
  Place(static_cast<HWND>(v.startButton.window), v.layout.startButton);
  (void)panel;
  RefreshList();
}

void ShowPageControls(int page, bool shown) { ShowOptionPage(page, shown); }

void CommitOutputField() {
  TPanelView& v = Plugin.view;
  const int32_t length = THostServices::Read<int32_t>(Plugin.host.pathLength, MAX_PATH);
  std::wstring text(size_t(std::max(length, 1)) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(v.outputField, text.data(), int(text.size()))));
  ChangeOutputBase(std::u16string(text.begin(), text.end()));
}

void StartProcessing() {
  CommitFocusedCheckList(Plugin.panel);
  CommitOutputField();
  Plugin.session.Selection = BuildSelection(Plugin.session.GameList, *Plugin.session.Services);
  if (Plugin.session.Selection.empty()) return;
  RunJobWithProgress(JobKind::ProcessAndSave);
}
