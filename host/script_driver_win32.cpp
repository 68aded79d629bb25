#include "host/script_driver_win32.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/host_main_window_win32.h"
#include "host/host_windows_win32.h"
#include "host/hostsim_win32.h"
#include "host/screenshot_win32.h"
#include "host/settings_description.h"
#include "io/codepage.h"

namespace hostsim {
namespace {

constexpr UINT TickMilliseconds = 10;
constexpr DWORD WaitLimitMilliseconds = 30000;

enum class Outcome { Done, Waiting, Failed };

struct Driver {
  Script script;
  size_t next = 0;
  HWND main = nullptr;
  UINT_PTR timer = 0;
  bool busy = false;
  DWORD stepStarted = 0;
  bool modifiersHeld = false;                // a key step's modifiers, let go at the next step
  bool ctrlHeld = false, shiftHeld = false;  // held by press until release
  int captureTurns = 0;                      // turns of the message loop since the window to capture was repainted
  std::string failure;
};

Driver* driver = nullptr;

// The working folder when the script started: file dialogs move the process's current folder.
std::wstring startFolder;

// A path as Windows takes it: "/..." is the Unix root, which Wine shows as drive Z:; a relative
// path is taken from the folder the host started in.
std::wstring WindowsPath(const std::string& path) {
  std::wstring wide = Widen(path, ByteText::Utf8);
  if (!wide.empty() && wide[0] == L'/') {
    for (wchar_t& c : wide)
      if (c == L'/') c = L'\\';
    return L"Z:" + wide;
  }
  const bool absolute = wide.size() >= 2 && (wide[1] == L':' || (wide[0] == L'\\' && wide[1] == L'\\'));
  if (!absolute && !startFolder.empty()) wide = startFolder + L"\\" + wide;
  wchar_t full[MAX_PATH * 4] = {};
  if (GetFullPathNameW(wide.c_str(), DWORD(std::size(full)), full, nullptr)) return full;
  return wide;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring TextOf(HWND window) {
  std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(window, text.data(), int(text.size()))));
  return text;
}

BOOL CALLBACK Collect(HWND window, LPARAM context) {
  reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
  return TRUE;
}

// The host's visible top-level windows of a class ("#32770" dialogs, "#32768" pop-up menus).
std::vector<HWND> ThreadWindows(const wchar_t* className) {
  std::vector<HWND> all, found;
  EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&all));
  for (HWND window : all)
    if (IsWindowVisible(window) && ClassOf(window) == className) found.push_back(window);
  return found;
}

// Every descendant window of `parent` (or of every top-level window of the thread).
std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> found;
  auto* collect = &Collect;
  if (parent) {
    EnumChildWindows(parent, collect, reinterpret_cast<LPARAM>(&found));
    return found;
  }
  std::vector<HWND> tops;
  EnumThreadWindows(GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(&tops));
  for (HWND top : tops) {
    found.push_back(top);
    EnumChildWindows(top, collect, reinterpret_cast<LPARAM>(&found));
  }
  return found;
}

bool HasDescendantOfClass(HWND parent, const wchar_t* className) {
  for (HWND child : Descendants(parent))
    if (ClassOf(child) == className) return true;
  return false;
}

enum class DialogKind { MessageBox, FileDialog, FolderDialog };

HWND FindDialog(DialogKind kind) {
  for (HWND dialog : ThreadWindows(L"#32770")) {
    const bool tree = HasDescendantOfClass(dialog, L"SysTreeView32");
    const bool fileName = GetDlgItem(dialog, 0x47C) || GetDlgItem(dialog, 0x480);
    if (kind == DialogKind::FolderDialog && tree) return dialog;
    if (kind == DialogKind::FileDialog && fileName && !tree) return dialog;
    if (kind == DialogKind::MessageBox && !tree && !fileName && !HasDescendantOfClass(dialog, L"Edit")) return dialog;
  }
  return nullptr;
}

HWND FirstPanel() {
  for (const PanelFrame& frame : Panels())
    if (IsWindow(frame.window)) return frame.window;
  return nullptr;
}

// A menu item's text without its accelerator marks and shortcut.
std::wstring ItemText(HMENU menu, int position) {
  wchar_t text[256] = {};
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = text;
  info.cch = 255;
  if (!GetMenuItemInfoW(menu, UINT(position), TRUE, &info)) return {};
  std::wstring plain;
  for (const wchar_t* p = text; *p && *p != L'\t'; ++p) {
    if (*p == L'&') {
      if (p[1] == L'&') {
        plain += L'&';
        ++p;
      }
      continue;
    }
    plain += *p;
  }
  return plain;
}

struct FoundItem {
  int32_t id = -1;
  bool greyed = false;
};

// Looks for an item by a path ("Games/Next game") or by its text anywhere below `menu`; the
// host's pop-ups are told they open, as they would be before a person sees them.
bool FindItem(HMENU menu, const std::vector<std::wstring>& path, size_t depth, bool anywhere, FoundItem& found) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    const std::wstring text = ItemText(menu, i);
    HMENU sub = GetSubMenu(menu, i);
    if (sub && driver) SendMessageW(driver->main, WM_INITMENUPOPUP, WPARAM(sub), i);
    const bool matches = text == path[depth];
    if (matches && depth + 1 == path.size() && !sub) {
      const UINT state = GetMenuState(menu, UINT(i), MF_BYPOSITION);
      found.id = int32_t(GetMenuItemID(menu, i));
      found.greyed = state & (MF_GRAYED | MF_DISABLED);
      return true;
    }
    if (sub && matches && depth + 1 < path.size() && FindItem(sub, path, depth + 1, false, found)) return true;
    if (sub && anywhere && FindItem(sub, path, depth, true, found)) return true;
  }
  return false;
}

std::vector<std::wstring> SplitPath(const std::wstring& text) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  for (size_t slash; (slash = text.find(L'/', start)) != std::wstring::npos; start = slash + 1)
    parts.push_back(text.substr(start, slash - start));
  parts.push_back(text.substr(start));
  return parts;
}

HMENU OpenPopupMenu() {
  for (HWND window : ThreadWindows(L"#32768"))
    if (HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0))) return menu;
  return nullptr;
}

// Chooses a menu command: on the open pop-up menu when there is one (closing it, as a choice
// does), else on the host's menu bar; the command goes to the host's main window.
Outcome ChooseMenu(const ScriptStep& step, std::string& failure) {
  const std::wstring text = Widen(step.text, ByteText::Utf8);
  FoundItem found;
  HMENU popup = OpenPopupMenu();
  HMENU where = popup ? popup : GetMenu(driver->main);
  bool ok = FindItem(where, {text}, 0, true, found);
  if (!ok) ok = FindItem(where, SplitPath(text), 0, false, found);
  if (!ok) {
    failure = std::string("no item \"") + step.text + "\" on the " + (popup ? "open pop-up menu" : "host's menu bar");
    return Outcome::Failed;
  }
  if (found.greyed) {
    failure = "menu item \"" + step.text + "\" is greyed";
    return Outcome::Failed;
  }
  if (popup) EndMenu();
  PostMessageW(driver->main, WM_COMMAND, WPARAM(found.id), 0);
  return Outcome::Done;
}

HWND DeepestChildAt(HWND parent, POINT& point) {
  HWND target = parent;
  for (;;) {
    HWND child = ChildWindowFromPointEx(target, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (!child || child == target) return target;
    MapWindowPoints(target, child, &point, 1);
    target = child;
  }
}

// A mouse click where a person would click: the cursor moves there and the window under it gets
// the button's messages.
void ClickAt(HWND window, POINT point, bool right) {
  POINT screen = point;
  ClientToScreen(window, &screen);
  SetCursorPos(screen.x, screen.y);
  const LPARAM at = MAKELPARAM(point.x, point.y);
  PostMessageW(window, WM_MOUSEMOVE, 0, at);
  PostMessageW(window, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, at);
  PostMessageW(window, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
}

Outcome ClickInPanel(const ScriptStep& step, std::string& failure) {
  HWND panel = FirstPanel();
  if (!panel || !IsWindowVisible(panel)) {
    failure = "no panel shows";
    return Outcome::Failed;
  }
  POINT point{step.x, step.y};
  HWND target = DeepestChildAt(panel, point);
  if (step.kind == StepKind::Hover) {
    // The pointer comes to rest there: the cursor moves, the window under it hears of it.
    POINT screen = point;
    ClientToScreen(target, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
    return Outcome::Done;
  }
  ClickAt(target, point, step.kind == StepKind::RightClick);
  return Outcome::Done;
}

// A host button or check box with that caption, or a button of a dialog.
Outcome ClickControl(const ScriptStep& step, std::string& failure) {
  const std::wstring caption = Widen(step.text, ByteText::Utf8);
  const wchar_t* wanted = step.kind == StepKind::ClickCheck ? CheckClass : ButtonClass;
  for (HWND window : Descendants(nullptr)) {
    if (!IsWindowVisible(window) || TextOf(window) != caption) continue;
    const std::wstring name = ClassOf(window);
    if (name == wanted) {
      RECT client;
      GetClientRect(window, &client);
      ClickAt(window, POINT{client.right / 2, client.bottom / 2}, false);
      return Outcome::Done;
    }
    if (step.kind == StepKind::ClickButton && name == L"Button") {
      PostMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), BN_CLICKED), LPARAM(window));
      return Outcome::Done;
    }
  }
  failure = std::string("no ") + (step.kind == StepKind::ClickCheck ? "check box" : "button") + " \"" + step.text +
            "\" shows";
  return Outcome::Failed;
}

HWND FocusOrFail(std::string& failure) {
  HWND focus = GetFocus();
  if (!focus) failure = "no window has the keyboard focus";
  return focus;
}

Outcome TypeText(const ScriptStep& step, std::string& failure) {
  HWND focus = FocusOrFail(failure);
  if (!focus) return Outcome::Failed;
  for (wchar_t c : Widen(step.text, ByteText::Utf8)) PostMessageW(focus, WM_CHAR, WPARAM(c), 1);
  return Outcome::Done;
}

void SetModifiers(bool ctrl, bool shift) {
  BYTE state[256];
  GetKeyboardState(state);
  auto set = [&](int key, bool down) { state[key] = down ? 0x80 : 0; };
  set(VK_CONTROL, ctrl);
  set(VK_LCONTROL, ctrl);
  set(VK_SHIFT, shift);
  set(VK_LSHIFT, shift);
  SetKeyboardState(state);
}

// The key goes down and up with its modifiers held until the next step; the message loop's
// TranslateMessage makes the characters a keyboard would.
Outcome PressKey(const ScriptStep& step, std::string& failure) {
  HWND focus = GetFocus();
  if (!focus && !OpenPopupMenu()) return FocusOrFail(failure), Outcome::Failed;
  if (!focus) focus = driver->main;
  if (step.key.ctrl || step.key.shift) {
    SetModifiers(step.key.ctrl, step.key.shift);
    driver->modifiersHeld = true;
  }
  const UINT scan = MapVirtualKeyW(step.key.virtualKey, MAPVK_VK_TO_VSC);
  for (int32_t i = 0; i < std::max(step.x, 1); ++i) {
    PostMessageW(focus, WM_KEYDOWN, step.key.virtualKey, LPARAM(1 | (scan << 16)));
    PostMessageW(focus, WM_KEYUP, step.key.virtualKey, LPARAM(1 | (scan << 16) | 0xC0000000u));
  }
  return Outcome::Done;
}

// A key held down (press) or let go (release); Shift and Ctrl stay in the keyboard state until
// released.
Outcome PressOrRelease(const ScriptStep& step, std::string& failure) {
  HWND focus = GetFocus();
  if (!focus) return FocusOrFail(failure), Outcome::Failed;
  const bool down = step.kind == StepKind::Press;
  if (step.key.virtualKey == VK_CONTROL) driver->ctrlHeld = down;
  if (step.key.virtualKey == VK_SHIFT) driver->shiftHeld = down;
  SetModifiers(driver->ctrlHeld, driver->shiftHeld);
  const UINT scan = MapVirtualKeyW(step.key.virtualKey, MAPVK_VK_TO_VSC);
  PostMessageW(focus, down ? WM_KEYDOWN : WM_KEYUP, step.key.virtualKey,
               LPARAM(1 | (scan << 16) | (down ? 0 : 0xC0000000u)));
  return Outcome::Done;
}

Outcome PrintFile(const ScriptStep& step, std::string& failure) {
  const std::wstring path = WindowsPath(step.text);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    failure = "cannot read " + step.text;
    return Outcome::Failed;
  }
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  std::printf("file %s:\n%s", step.text.c_str(), bytes.c_str());
  if (!bytes.empty() && bytes.back() != '\n') std::printf("\n");
  std::fflush(stdout);
  return Outcome::Done;
}

Outcome Answer(const ScriptStep& step, std::string& failure) {
  HWND box = FindDialog(DialogKind::MessageBox);
  if (!box) return Outcome::Waiting;
  std::wstring text;
  for (HWND child : Descendants(box))
    if (ClassOf(child) == L"Static" && text.empty()) text = TextOf(child);
  std::printf("message: %s\n", Narrow(text, ByteText::Utf8).c_str());
  std::fflush(stdout);
  const int id = step.text == "Yes" ? IDYES : step.text == "No" ? IDNO : step.text == "OK" ? IDOK : IDCANCEL;
  HWND button = GetDlgItem(box, id);
  if (!button) {
    failure = "the message box has no " + step.text + " button";
    return Outcome::Failed;
  }
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(button));
  return Outcome::Done;
}

Outcome FillFileDialog(const ScriptStep& step) {
  HWND dialog = FindDialog(DialogKind::FileDialog);
  if (!dialog) return Outcome::Waiting;
  const std::wstring path = WindowsPath(step.text);
  for (int id : {0x47C, 0x480})
    if (GetDlgItem(dialog, id)) SetDlgItemTextW(dialog, id, path.c_str());
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(dialog, IDOK)));
  return Outcome::Done;
}

Outcome ChooseFolder(const ScriptStep& step, std::string& failure) {
  HWND dialog = FindDialog(DialogKind::FolderDialog);
  if (!dialog) return Outcome::Waiting;
  const std::wstring path = WindowsPath(step.text);
  // The browser takes a path it cannot show without a word: a wrong one must not pass unseen.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    failure = "no folder " + step.text;
    return Outcome::Failed;
  }
  SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(dialog, IDOK)));
  return Outcome::Done;
}

bool AnythingModal() {
  return ModalDepth() > 0 || !ThreadWindows(L"#32770").empty() || !ThreadWindows(L"#32768").empty();
}

Outcome Capture(const ScriptStep& step, std::string& failure) {
  HWND window = step.text == "host" ? driver->main : step.text == "panel" ? FirstPanel() : CurrentModal();
  if (step.text == "modal" && !window) {
    const std::vector<HWND> dialogs = ThreadWindows(L"#32770");
    if (!dialogs.empty()) window = dialogs.front();
  }
  // A modal window may still be on its way: it is waited for, as dialogs are.
  if (step.text == "modal" && (!window || !IsWindowVisible(window))) return Outcome::Waiting;
  if (!window || !IsWindowVisible(window)) {
    failure = "no " + step.text + " window shows";
    return Outcome::Failed;
  }
  if (driver->captureTurns == 0) RepaintWindow(window);
  if (++driver->captureTurns < 3) return Outcome::Waiting;
  driver->captureTurns = 0;
  if (!CaptureWindow(window, std::filesystem::path(WindowsPath(step.file)))) {
    failure = "cannot write " + step.file;
    return Outcome::Failed;
  }
  return Outcome::Done;
}

// The plug-in's drop-down list ("Recent list"), when it shows.
HWND OpenDropDown() {
  for (HWND window : ThreadWindows(L"ListBox"))
    if (TextOf(window) == L"Recent list") return window;
  return nullptr;
}

std::wstring ListEntry(HWND list, LRESULT index) {
  std::wstring text(size_t(std::max<LRESULT>(SendMessageW(list, LB_GETTEXTLEN, WPARAM(index), 0), 0)) + 1, L'\0');
  text.resize(size_t(std::max<LRESULT>(SendMessageW(list, LB_GETTEXT, WPARAM(index), LPARAM(text.data())), 0)));
  return text;
}

// A click on the entry of the open drop-down list: scrolled into view first, as a person would.
Outcome Pick(const ScriptStep& step, std::string& failure) {
  HWND list = OpenDropDown();
  if (!list) {
    failure = "no drop-down list is open";
    return Outcome::Failed;
  }
  const std::wstring wanted = Widen(step.text, ByteText::Utf8);
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if (ListEntry(list, i) != wanted) continue;
    SendMessageW(list, LB_SETTOPINDEX, WPARAM(i), 0);
    RECT entry{};
    SendMessageW(list, LB_GETITEMRECT, WPARAM(i), LPARAM(&entry));
    ClickAt(list, POINT{(entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2}, false);
    return Outcome::Done;
  }
  failure = "the drop-down list has no entry \"" + step.text + "\"";
  return Outcome::Failed;
}

void PrintFields() {
  HWND panel = FirstPanel();
  std::printf("fields:");
  if (panel)
    for (HWND child : Descendants(panel)) {
      if (!IsWindowVisible(child) || ClassOf(child) != L"Edit") continue;
      RECT r;
      GetWindowRect(child, &r);
      MapWindowPoints(HWND_DESKTOP, panel, reinterpret_cast<POINT*>(&r), 2);
      std::printf(" [%ld,%ld \"%s\"]", long(r.left), long(r.top), Narrow(TextOf(child), ByteText::Utf8).c_str());
    }
  std::printf("\n");
}

// The open drop-down: its entries, the selected one, and where it stands against the panel.
void PrintDropDown() {
  HWND list = OpenDropDown();
  if (!list) {
    std::printf("list: closed\n");
    return;
  }
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
  RECT r;
  GetWindowRect(list, &r);
  if (HWND panel = FirstPanel()) MapWindowPoints(HWND_DESKTOP, panel, reinterpret_cast<POINT*>(&r), 2);
  std::string entries;
  for (LRESULT i = 0; i < std::min<LRESULT>(count, 4); ++i)
    entries += " \"" + Narrow(ListEntry(list, i), ByteText::Utf8) + "\"";
  if (count > 4) entries += " ... \"" + Narrow(ListEntry(list, count - 1), ByteText::Utf8) + "\"";
  std::printf("list: %ld entries%s, selected %s, at %ld,%ld size %ldx%ld\n", long(count), entries.c_str(),
              selected == LB_ERR ? "none" : ("\"" + Narrow(ListEntry(list, selected), ByteText::Utf8) + "\"").c_str(),
              long(r.left), long(r.top), long(r.right - r.left), long(r.bottom - r.top));
}

// Waits for a shown top-level window with that title (a modal window on its way).
Outcome WaitWindow(const ScriptStep& step) {
  const std::wstring title = Widen(step.text, ByteText::Utf8);
  std::vector<HWND> all;
  EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&all));
  for (HWND window : all)
    if (IsWindowVisible(window) && TextOf(window) == title) return Outcome::Done;
  return Outcome::Waiting;
}

Outcome PrintSettingsFile(const ScriptStep& step) {
  const std::filesystem::path file(WindowsPath(step.text));
  if (!std::filesystem::exists(file))
    std::printf("settings: no file\n");
  else
    std::printf("settings:\n%s", DescribeSettings(ReadSettings(file)).c_str());
  std::fflush(stdout);
  return Outcome::Done;
}

void PrintMenu(HMENU menu, int indent) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU;
    GetMenuItemInfoW(menu, UINT(i), TRUE, &info);
    std::string line(size_t(indent), ' ');
    if (info.fType & MFT_SEPARATOR) {
      line += "----";
    } else {
      if (info.fState & MFS_CHECKED) line += "[x] ";
      if (info.fState & MFS_GRAYED) line += "(greyed) ";
      line += Narrow(ItemText(menu, i), ByteText::Utf8);
      if (info.hSubMenu) line += " >";
    }
    std::printf("%s\n", line.c_str());
    if (info.hSubMenu) PrintMenu(info.hSubMenu, indent + 2);
  }
}

// The process's address space, plug-in included: what is committed, what is reserved, and the
// largest stretch still free (what a large allocation can still get).
void PrintAddressSpace() {
  SIZE_T committed = 0, reserved = 0, largestFree = 0, total = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;) {
    if (region.State == MEM_COMMIT) committed += region.RegionSize;
    if (region.State == MEM_RESERVE) reserved += region.RegionSize;
    if (region.State == MEM_FREE) largestFree = std::max<SIZE_T>(largestFree, region.RegionSize);
    total += region.RegionSize;
    const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    if (next <= at) break;
    at = next;
  }
  std::printf("memory: %lu MB committed, %lu MB reserved, largest free block %lu MB, of %lu MB\n",
              static_cast<unsigned long>(committed >> 20), static_cast<unsigned long>(reserved >> 20),
              static_cast<unsigned long>(largestFree >> 20), static_cast<unsigned long>(total >> 20));
}

Outcome Print(const ScriptStep& step, std::string& failure) {
  if (step.text == "menu" || step.text == "host-menu") {
    HMENU menu = step.text == "menu" ? OpenPopupMenu() : static_cast<HMENU>(Settings().hostMenu);
    if (!menu) {
      failure = step.text == "menu" ? "no pop-up menu is open" : "the host has no menu";
      return Outcome::Failed;
    }
    std::printf("%s:\n", step.text.c_str());
    PrintMenu(menu, 2);
  } else if (step.text == "hover-marks") {
    // Whether anything on the panel is drawn as hovered (captions in RGB(0, 0, 128)), once the
    // panel has repainted and its picture reached the screen, as for a capture.
    HWND panel = FirstPanel();
    if (!panel || !IsWindowVisible(panel)) {
      failure = "no panel shows";
      return Outcome::Failed;
    }
    if (driver->captureTurns == 0) RepaintWindow(panel);
    if (++driver->captureTurns < 3) return Outcome::Waiting;
    driver->captureTurns = 0;
    std::printf("hover marks: %s\n", CountColour(panel, 0, 0, 128) > 0 ? "shown" : "none");
  } else if (step.text == "menu-place") {
    // Where the open pop-up menu stands, in the panel's client coordinates.
    const std::vector<HWND> open = ThreadWindows(L"#32768");
    HWND panel = FirstPanel();
    if (open.empty() || !panel) {
      failure = "no pop-up menu is open over a panel";
      return Outcome::Failed;
    }
    RECT r{};
    GetWindowRect(open.front(), &r);
    MapWindowPoints(HWND_DESKTOP, panel, reinterpret_cast<POINT*>(&r), 2);
    std::printf("menu place: left %ld, top %ld, right %ld, bottom %ld\n", long(r.left), long(r.top), long(r.right),
                long(r.bottom));
  } else if (step.text == "host") {
    HostGames& games = Games();
    std::printf("host: game %ld, line depth %ld, move %ld\n", long(*games.CurrentRow()) + 1, long(games.LineDepth()),
                long(games.CurrentMove()));
  } else if (step.text == "panel") {
    if (Panels().empty()) std::printf("no panel\n");
    for (const PanelFrame& frame : Panels()) {
      RECT r{};
      GetWindowRect(frame.window, &r);
      MapWindowPoints(HWND_DESKTOP, GetParent(frame.window), reinterpret_cast<POINT*>(&r), 2);
      int32_t minimumWidth = 0, minimumHeight = 0;
      for (const HostPanelRecord& record : Settings().panels)
        if (record.window == frame.window) {
          minimumWidth = record.minimumWidth;
          minimumHeight = record.minimumHeight;
        }
      RECT client{};
      GetClientRect(frame.window, &client);
      std::printf("panel \"%s\": at %ld,%ld size %ldx%ld (client %ldx%ld), %s, minimum %ldx%ld\n",
                  Narrow(frame.title, ByteText::Utf8).c_str(), long(r.left), long(r.top), long(r.right - r.left),
                  long(r.bottom - r.top), long(client.right), long(client.bottom),
                  IsWindowVisible(frame.window) ? "shown" : "hidden", long(minimumWidth), long(minimumHeight));
    }
  } else if (step.text == "fields") {
    PrintFields();
  } else if (step.text == "list") {
    PrintDropDown();
  } else if (step.text == "memory") {
    PrintAddressSpace();
  } else {
    std::string line = "queries:";
    for (const std::string& id : AskedLog()) line += " " + id;
    std::printf("%s\n", line.c_str());
  }
  std::fflush(stdout);
  return Outcome::Done;
}

Outcome Expect(const ScriptStep& step, std::string& failure) {
  const bool exists = GetFileAttributesW(WindowsPath(step.text).c_str()) != INVALID_FILE_ATTRIBUTES;
  const bool wanted = step.kind == StepKind::ExpectFile;
  if (exists == wanted) return Outcome::Done;
  failure = step.text + (wanted ? " does not exist" : " exists");
  return Outcome::Failed;
}

Outcome Run(const ScriptStep& step, std::string& failure) {
  switch (step.kind) {
    case StepKind::Menu:
      return ChooseMenu(step, failure);
    case StepKind::Click:
    case StepKind::RightClick:
    case StepKind::Hover:
      return ClickInPanel(step, failure);
    case StepKind::ClickButton:
    case StepKind::ClickCheck:
      return ClickControl(step, failure);
    case StepKind::Type:
      return TypeText(step, failure);
    case StepKind::Key:
      return PressKey(step, failure);
    case StepKind::Answer:
      return Answer(step, failure);
    case StepKind::File:
      return FillFileDialog(step);
    case StepKind::Folder:
      return ChooseFolder(step, failure);
    case StepKind::WaitModal:
      return AnythingModal() ? Outcome::Waiting : Outcome::Done;
    case StepKind::Resize: {
      HWND panel = FirstPanel();
      if (!panel) {
        failure = "no panel to resize";
        return Outcome::Failed;
      }
      SetWindowPos(panel, nullptr, 0, 0, step.x, step.y, SWP_NOMOVE | SWP_NOZORDER);
      return Outcome::Done;
    }
    case StepKind::Capture:
      return Capture(step, failure);
    case StepKind::Press:
    case StepKind::Release:
      return PressOrRelease(step, failure);
    case StepKind::Print:
      return Print(step, failure);
    case StepKind::PrintFile:
      return PrintFile(step, failure);
    case StepKind::Pick:
      return Pick(step, failure);
    case StepKind::WaitWindow:
      return WaitWindow(step);
    case StepKind::PrintSettings:
      return PrintSettingsFile(step);
    case StepKind::ExpectFile:
    case StepKind::ExpectNoFile:
      return Expect(step, failure);
    case StepKind::Close:
      PostMessageW(driver->main, WM_CLOSE, 0, 0);
      return Outcome::Done;
  }
  return Outcome::Failed;
}

void Stop() {
  if (driver->timer) KillTimer(nullptr, driver->timer);
  driver->timer = 0;
}

// A failed step ends the host at once when a window holds it in a loop of its own; otherwise it
// closes as a person would close it, so the plug-in is stopped.
void Fail(const ScriptStep& step, const std::string& failure) {
  std::fprintf(stderr, "pgnhost: script line %d: %s\n", step.line, failure.c_str());
  std::fflush(stderr);
  std::fflush(stdout);
  Stop();
  SetExitCode(3);
  if (AnythingModal()) ExitProcess(3);
  PostMessageW(driver->main, WM_CLOSE, 0, 0);
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  Driver& d = *driver;
  if (d.busy || !d.timer) return;
  d.busy = true;
  if (d.modifiersHeld) {
    SetModifiers(d.ctrlHeld, d.shiftHeld);
    d.modifiersHeld = false;
  }
  if (d.next >= d.script.steps.size()) {
    Stop();
    d.busy = false;
    return;
  }
  const ScriptStep& step = d.script.steps[d.next];
  std::string failure;
  switch (Run(step, failure)) {
    case Outcome::Done:
      ++d.next;
      d.stepStarted = GetTickCount();
      if (step.kind == StepKind::Close) Stop();
      break;
    case Outcome::Waiting:
      if (GetTickCount() - d.stepStarted > WaitLimitMilliseconds) Fail(step, "waited 30 seconds in vain");
      break;
    case Outcome::Failed:
      Fail(step, failure);
      break;
  }
  d.busy = false;
}

}  // namespace

void RunScript(Script script, HWND mainWindow) {
  static Driver instance;
  driver = &instance;
  instance = Driver{};
  instance.script = std::move(script);
  instance.main = mainWindow;
  instance.stepStarted = GetTickCount();
  wchar_t folder[MAX_PATH * 4] = {};
  if (GetCurrentDirectoryW(DWORD(std::size(folder)), folder)) startFolder = folder;
  instance.timer = SetTimer(nullptr, 0, TickMilliseconds, &Tick);
}

}  // namespace hostsim
