#include <windows.h>

#include "plugin/panel_updates_win32.h"
#include "plugin/rename_window_win32.h"

#include <algorithm>
#include <string>

#include "io/codepage.h"
#include "job/game_list.h"
#include "panel/dialog_layout.h"
#include "plugin/host_button_win32.h"
#include "plugin/panel_view_win32.h"
#include "plugin/plugin_state_win32.h"

namespace {

struct RenameView {
  bool built = false;
  RenameKind kind = RenameKind::Player;
  RenameWindowLayout layout;
  HWND fromList = nullptr, toList = nullptr, oldName = nullptr, newName = nullptr;
  HWND remembered = nullptr;  // the edit field that last had the focus
  HostButton rename{}, close{};
  WNDPROC listProcedure = nullptr, editProcedure = nullptr;
};
RenameView view;

void EndWith(int32_t result) {
  if (Plugin.host.modalResult) *Plugin.host.modalResult = result;
}

// A field's text, at most the host's path length in characters, as the games' bytes.
std::string FieldBytes(HWND edit) {
  const int limit = std::max(1, int(THostServices::Read(Plugin.host.pathLength, int32_t(MAX_PATH))));
  std::wstring text(size_t(limit) + 1, L'\0');
  text.resize(size_t(std::clamp(GetWindowTextW(edit, text.data(), limit + 1), 0, limit)));
  return Utf16ToBytes(std::u16string(text.begin(), text.end()));
}

void RenameNow() {
  const std::string from = FieldBytes(view.oldName), to = FieldBytes(view.newName);
  if (to.empty()) {
    MessageBeep(MB_OK);
    return;
  }
  const int count = RenameNames(Plugin.session.GameList.entries, view.kind, from, to);
  const std::string message = RenameMessage(count);
  MessageBoxW(GetActiveWindow(), std::wstring(message.begin(), message.end()).c_str(), L"Renaming is finished",
              MB_OK | MB_ICONINFORMATION);
  RefreshList();
}

void __stdcall OnRename() { RenameNow(); }
void __stdcall OnClose() { EndWith(-1); }

HWND FieldUnder(HWND list) { return list == view.fromList ? view.oldName : view.newName; }
HWND ListOver(HWND field) { return field == view.oldName ? view.fromList : view.toList; }

// The list's selected entry goes into the field under it.
void CopySelection(HWND list) {
  const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (selected == LB_ERR) return;
  std::wstring text(size_t(std::max<LRESULT>(SendMessageW(list, LB_GETTEXTLEN, WPARAM(selected), 0), 0)) + 1, L'\0');
  text.resize(size_t(std::max<LRESULT>(SendMessageW(list, LB_GETTEXT, WPARAM(selected), LPARAM(text.data())), 0)));
  SetWindowTextW(FieldUnder(list), text.c_str());
}

bool IsListKey(WPARAM key) { return key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN; }

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallWindowProcW(view.listProcedure, list, message, wParam, lParam);
  if ((message == WM_KEYDOWN && IsListKey(wParam)) || message == WM_LBUTTONUP ||
      (message == WM_CHAR && (wParam == VK_RETURN || wParam == L' ')))
    CopySelection(list);
  if (message == WM_CHAR && wParam == VK_TAB) SetFocus(FieldUnder(list));
  if (message == WM_CHAR && wParam == VK_ESCAPE) EndWith(-1);
  return result;
}

LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS:
      view.remembered = field;
      break;
    case WM_KEYDOWN:
      if (IsListKey(wParam)) {
        SendMessageW(ListOver(field), WM_KEYDOWN, wParam, lParam);
        return 0;
      }
      break;
    case WM_CHAR:
      switch (wParam) {
        case 1:  // Ctrl+A
          SendMessageW(field, EM_SETSEL, 0, -1);
          return 0;
        case VK_ESCAPE:
          EndWith(-1);
          return 0;
        case VK_TAB:
        case VK_RETURN:
          if (field == view.oldName) {
            SetWindowTextW(view.newName, L"");
            SetFocus(view.newName);
          } else if (wParam == VK_RETURN) {
            RenameNow();
          }
          return 0;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return CallWindowProcW(view.editProcedure, field, message, wParam, lParam);
}

HWND MakeList(HWND window, const PanelRectangle& r) {
  HWND list = CreateWindowExW(0, L"LISTBOX", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | LBS_NOTIFY,
                              r.left, r.top, r.Width(), r.Height(), window, nullptr, Plugin.instance, nullptr);
  SendMessageW(list, WM_SETFONT, WPARAM(Plugin.view.controlFont), FALSE);
  SendMessageW(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(Plugin.view.metrics.fontHeight + 3, 0));
  view.listProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(list, GWLP_WNDPROC, LONG_PTR(&ListProc)));
  return list;
}

HWND MakeField(HWND window, const PanelRectangle& r) {
  HWND field = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, r.left, r.top, r.Width(),
                               r.Height(), window, nullptr, Plugin.instance, nullptr);
  SendMessageW(field, WM_SETFONT, WPARAM(Plugin.view.controlFont), FALSE);
  SendMessageW(field, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(2, 2));
  view.editProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(field, GWLP_WNDPROC, LONG_PTR(&FieldProc)));
  return field;
}

void Fill(HWND list, const std::vector<std::string>& names) {
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& name : names) {
    const std::u16string text = BytesToUtf16(name);
    SendMessageW(list, LB_ADDSTRING, 0, LPARAM(reinterpret_cast<const wchar_t*>(text.c_str())));
  }
}

void Build(HWND window) {
  // At the mouse, inside the work area.
  RECT frame;
  GetWindowRect(window, &frame);
  MoveToMouse(window, frame.right - frame.left, frame.bottom - frame.top, true);
  RECT client;
  GetClientRect(window, &client);
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, Plugin.view.controlFont);
  SIZE to{};
  GetTextExtentPoint32W(dc, L"To", 2, &to);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  view.layout = LayOutRenameWindow(Plugin.view.metrics, client.right, client.bottom, to.cy);
  const RenameWindowLayout& l = view.layout;
  view.fromList = MakeList(window, l.fromList);
  view.toList = MakeList(window, l.toList);
  view.oldName = MakeField(window, l.oldNameField);
  view.newName = MakeField(window, l.newNameField);
  view.remembered = view.oldName;
  const RECT region{-1, -1, 107, 30};
  MakeHostButton(window, view.rename, L"Rename", 105, 28, region, 28, &OnRename, true);
  MakeHostButton(window, view.close, L"Close", 105, 28, region, 28, &OnClose, true);
  for (const auto& [button, place] : {std::pair{&view.rename, l.buttons.first}, {&view.close, l.buttons.second}})
    if (button->window) MoveWindow(static_cast<HWND>(button->window), place.left, place.top, 105, 28, FALSE);
  Fill(view.fromList, RenameCandidates(Plugin.session.GameList.entries, view.kind));
  Fill(view.toList, RenameCandidates(Plugin.session.GameList.entries, view.kind, true));
  view.built = true;
}

void Frame(HDC dc, HWND control, HWND window) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
  InflateRect(&r, 1, 1);
  HBRUSH brush = CreateSolidBrush(LineColour());
  FrameRect(dc, &r, brush);
  DeleteObject(brush);
}

HostResult __stdcall RenameWindowProc(HostWindow handle, uint32_t message, HostWParam wParam, HostLParam lParam) {
  HWND window = static_cast<HWND>(handle);
  switch (message) {
    case WM_SHOWWINDOW:
      if (wParam && !view.built) Build(window);
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && view.remembered) {
        SetFocus(view.remembered);
        return 0;
      }
      break;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) EndWith(-1);
      return 0;
    default:
      break;
  }
  return Plugin.host.DefaultWindowProc(window, message, wParam, lParam);
}

void __stdcall RenameWindowPaint(HostWindow handle, HostDeviceContext context) {
  HWND window = static_cast<HWND>(handle);
  HDC dc = static_cast<HDC>(context);
  if (Plugin.host.paintBackground) Plugin.host.paintBackground(window, dc);
  if (!view.built) return;
  {
    const PanelTextStyle style(dc);
    TextOutW(dc, view.layout.fromX, view.layout.headingY, L"From", 4);
    TextOutW(dc, view.layout.toX, view.layout.headingY, L"To", 2);
  }
  for (HWND control : {view.fromList, view.toList, view.oldName, view.newName}) Frame(dc, control, window);
}

}  // namespace

void RunRenameWindow(RenameKind kind) {
  if (!Plugin.host.runModal) return;
  view = RenameView{};
  view.kind = kind;
  Plugin.host.runModal(reinterpret_cast<const uint16_t*>(
                           u"\u041F\u0435\u0440\u0435\u0438\u043C\u0435\u043D\u043E\u0432\u0430\u0442\u044C"),
                       0, 0, 500, 400, Plugin.panel, &RenameWindowProc, &RenameWindowPaint);
  view = RenameView{};
}
