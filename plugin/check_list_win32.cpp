#include <windows.h>

#include "plugin/check_list_win32.h"

#include <algorithm>

#include "panel/option_fields.h"
#include "plugin/panel_view_win32.h"
#include "plugin/plugin_state_win32.h"

namespace {

std::vector<TCHeckList*> fields;  // in creation order
TCHeckList* active = nullptr;     // the field whose list opened last
HWND dropDown = nullptr;          // "Recent list"
WNDPROC editProcedure = nullptr, listProcedure = nullptr;

TCHeckList* FieldOf(HWND window) {
  for (TCHeckList* field : fields)
    if (field->window == window) return field;
  return nullptr;
}

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// The edit's text, at most the host's path length in characters.
std::u16string EditText(HWND edit) {
  const int limit = std::max(1, int(THostServices::Read(Plugin.host.pathLength, int32_t(MAX_PATH))));
  std::u16string text(size_t(limit) + 1, u'\0');
  const int length = GetWindowTextW(edit, reinterpret_cast<wchar_t*>(text.data()), limit + 1);
  text.resize(size_t(std::clamp(length, 0, limit)));
  return text;
}

bool ListOpenFor(const TCHeckList& field) { return active == &field && IsWindowVisible(dropDown); }

void HideList() {
  if (dropDown) ShowWindow(dropDown, SW_HIDE);
}

void OpenList(TCHeckList& field) {
  if (!dropDown) return;
  active = &field;
  if (field.beforeOpen) field.beforeOpen(field);
  SendMessageW(dropDown, WM_SETREDRAW, FALSE, 0);
  SendMessageW(dropDown, LB_RESETCONTENT, 0, 0);
  for (const std::u16string& item : field.items) SendMessageW(dropDown, LB_ADDSTRING, 0, LPARAM(Wide(item)));
  SendMessageW(dropDown, LB_SETCURSEL, WPARAM(-1), 0);
  SendMessageW(dropDown, WM_SETREDRAW, TRUE, 0);
  RECT at;
  GetWindowRect(field.window, &at);
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int height = DropDownHeight(field.items.size(), Plugin.view.metrics.fontHeight);
  const int top = DropDownTop(at.top, at.bottom, height, work.bottom);
  SetWindowPos(dropDown, nullptr, at.left, top, at.right - at.left, height,
               SWP_NOACTIVATE | SWP_NOZORDER | SWP_SHOWWINDOW);
  InvalidateRect(dropDown, nullptr, TRUE);
}

// The list's current selection becomes the active field's value, when its validator agrees.
void ChooseSelection() {
  const LRESULT selected = SendMessageW(dropDown, LB_GETCURSEL, 0, 0);
  if (selected == LB_ERR) return;
  HideList();
  if (!active || size_t(selected) >= active->items.size()) return;
  TCHeckList& field = *active;
  const int32_t chosen = int32_t(selected);
  const std::optional<int32_t> accepted = field.validator ? field.validator(chosen, {}) : std::nullopt;
  if (!accepted) return;
  // The validator may name another item for what the choice did ("Options..." saved as the six
  // basic NAGs shows "Except basic").
  const int32_t index = *accepted >= 0 && size_t(*accepted) < field.items.size() ? *accepted : chosen;
  field.text = field.items[size_t(index)];
  field.index = index;
  SetWindowTextW(field.window, Wide(field.text));
}

// The text in the edit, when it is not the accepted one, goes to the validator; refused, it
// beeps and the accepted text comes back. An untouched field has nothing to commit.
void CommitTyped(TCHeckList& field) {
  const std::u16string text = EditText(field.window);
  if (text == field.text) return;
  const std::optional<int32_t> index = field.validator ? field.validator(-1, text) : std::nullopt;
  if (index) {
    field.text = text;
    field.index = *index;
  } else {
    MessageBeep(MB_OK);
    RestoreCheckList(field);
  }
}

// Typing selects the list's first entry beginning with what was typed.
void SearchList(const std::u16string& text) {
  if (!text.empty()) SendMessageW(dropDown, LB_SELECTSTRING, WPARAM(-1), LPARAM(Wide(text)));
}

// An arrow or page key in a field whose list is open moves the list's selection; an editable
// field then shows the entry, as a combo box does, so that Enter takes it.
bool MoveInList(TCHeckList& field, WPARAM key) {
  if (!ListOpenFor(field)) return false;
  CallWindowProcW(listProcedure, dropDown, WM_KEYDOWN, key, 0);
  const LRESULT selected = SendMessageW(dropDown, LB_GETCURSEL, 0, 0);
  if (!field.readOnly && selected != LB_ERR && size_t(selected) < field.items.size()) {
    SetWindowTextW(field.window, Wide(field.items[size_t(selected)]));
    SendMessageW(field.window, EM_SETSEL, 0, -1);
  }
  return true;
}

LRESULT CALLBACK FieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TCHeckList* field = FieldOf(window);
  if (!field) return CallWindowProcW(editProcedure, window, message, wParam, lParam);
  switch (message) {
    case WM_SETFOCUS: {
      const LRESULT result = CallWindowProcW(editProcedure, window, message, wParam, lParam);
      PostMessageW(window, EM_SETSEL, 0, -1);  // after the click that gave the focus
      return result;
    }
    case WM_KILLFOCUS:
      if (reinterpret_cast<HWND>(wParam) != dropDown) {
        CommitTyped(*field);
        HideList();
      }
      return CallWindowProcW(editProcedure, window, message, wParam, lParam);
    case WM_CHAR:
      switch (wParam) {
        case VK_RETURN:
          if (!field->readOnly)
            SetFocus(GetParent(window));  // the focus leaving commits
          else if (ListOpenFor(*field))
            ChooseSelection();
          else
            OpenList(*field);
          return 0;
        case VK_ESCAPE:
          RestoreCheckList(*field);
          HideList();
          return 0;
        case 1:  // Ctrl+A
          SendMessageW(window, EM_SETSEL, 0, -1);
          return 0;
        default: {
          if (!ListOpenFor(*field)) OpenList(*field);
          if (field->readOnly) {
            SearchList(std::u16string(1, char16_t(wParam)));
            return 0;
          }
          const LRESULT result = CallWindowProcW(editProcedure, window, message, wParam, lParam);
          SearchList(EditText(window));
          return result;
        }
      }
    case WM_KEYDOWN:
      if (wParam == VK_F4) {
        OpenList(*field);
        return 0;
      }
      if ((wParam == VK_UP || wParam == VK_DOWN || wParam == VK_PRIOR || wParam == VK_NEXT) &&
          MoveInList(*field, wParam))
        return 0;
      return CallWindowProcW(editProcedure, window, message, wParam, lParam);
    case WM_SYSKEYDOWN:
      if (wParam == VK_DOWN) {
        OpenList(*field);
        return 0;
      }
      return CallWindowProcW(editProcedure, window, message, wParam, lParam);
    case WM_LBUTTONUP: {
      const LRESULT result = CallWindowProcW(editProcedure, window, message, wParam, lParam);
      OpenList(*field);
      return result;
    }
    default:
      return CallWindowProcW(editProcedure, window, message, wParam, lParam);
  }
}

void FrameList(HWND list) {
  HDC dc = GetDC(list);
  RECT client;
  GetClientRect(list, &client);
  HBRUSH brush = CreateSolidBrush(LineColour());
  FrameRect(dc, &client, brush);
  DeleteObject(brush);
  ReleaseDC(list, dc);
}

// Back to the field whose list this was, once the list is gone.
void FocusActiveField() {
  if (active && IsWindowVisible(active->window)) SetFocus(active->window);
}

LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallWindowProcW(listProcedure, window, message, wParam, lParam);
  switch (message) {
    case WM_KILLFOCUS:
      // Leaving both the list and its field: what was typed there counts, as when the field
      // itself loses the focus.
      if (!active || reinterpret_cast<HWND>(wParam) != active->window) {
        HideList();
        if (active) CommitTyped(*active);
      }
      break;
    case WM_PAINT:
      FrameList(window);
      break;
    case WM_CHAR:
      if (wParam == VK_RETURN) {
        ChooseSelection();
        FocusActiveField();
      } else if (wParam == VK_ESCAPE) {
        HideList();
        FocusActiveField();
      }
      break;
    case WM_LBUTTONUP: {
      const LRESULT selected = SendMessageW(window, LB_GETCURSEL, 0, 0);
      RECT entry{};
      if (selected != LB_ERR && SendMessageW(window, LB_GETITEMRECT, WPARAM(selected), LPARAM(&entry)) != LB_ERR) {
        const int y = short(HIWORD(lParam));
        if (y >= entry.top && y < entry.bottom) {
          ChooseSelection();
          FocusActiveField();
        }
      }
      break;
    }
    default:
      break;
  }
  return result;
}

void CreateSharedList(HWND parent) {
  dropDown = CreateWindowExW(WS_EX_TOOLWINDOW, L"LISTBOX", L"Recent list",
                             WS_POPUP | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, 0, 0, 10, 10,
                             parent, nullptr, Plugin.instance, nullptr);
  if (!dropDown) return;
  SendMessageW(dropDown, WM_SETFONT, WPARAM(Plugin.view.controlFont), FALSE);
  SendMessageW(dropDown, LB_SETITEMHEIGHT, 0, MAKELPARAM(Plugin.view.metrics.fontHeight + 3, 0));
  listProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(dropDown, GWLP_WNDPROC, LONG_PTR(&ListProc)));
}

}  // namespace

void CreateCheckList(TCHeckList& field, int x, int y, int width, HWND parent) {
  const DWORD style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | (field.readOnly ? ES_READONLY : 0);
  field.window = CreateWindowExW(0, L"EDIT", Wide(field.text), style, x, y, width, Plugin.view.metrics.fontHeight + 1,
                                 parent, nullptr, Plugin.instance, nullptr);
  if (!field.window) return;
  SendMessageW(field.window, WM_SETFONT, WPARAM(Plugin.view.controlFont), FALSE);
  SendMessageW(field.window, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(2, 2));
  const auto previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(field.window, GWLP_WNDPROC, LONG_PTR(&FieldProc)));
  if (!editProcedure) editProcedure = previous;
  if (!dropDown) CreateSharedList(parent);
  fields.push_back(&field);
}

void RestoreCheckList(TCHeckList& field) { SetWindowTextW(field.window, Wide(field.text)); }

void ShowCheckListValue(TCHeckList& field, const std::u16string& text, int32_t index) {
  field.text = text;
  field.index = index;
  RestoreCheckList(field);
}

void CommitFocusedCheckList(HWND panel) {
  HWND focus = GetFocus();
  if (focus && (FieldOf(focus) || focus == dropDown)) SetFocus(panel);  // their focus handling commits
}

bool IsCheckListWindow(HWND window) { return FieldOf(window) != nullptr; }

void DestroyCheckLists() {
  fields.clear();
  active = nullptr;
  if (dropDown) DestroyWindow(dropDown);
  dropDown = nullptr;
}
