#include "host/host_main_window_win32.h"

#include <windowsx.h>

#include <string>

#include "host/host_windows_win32.h"
#include "host/hostsim_win32.h"
#include "io/codepage.h"

namespace hostsim {
namespace {

const wchar_t* const MainClass = L"PgnHostMain";

struct MainState {
  HWND window = nullptr;
  HMENU panelsMenu = nullptr;
  std::function<void()> beforeClose;
  int exitCode = 0;
  int rowHeight = 20;
  int firstRow = 0;  // the list's first visible row
};

MainState& M() {
  static MainState state;
  return state;
}

// The value of a tag of a host list entry, "" when it has none.
std::string TagValue(const HostGameEntry& entry, const char* name) {
  for (int32_t i = 0; i < entry.tagCount; ++i)
    if (entry.tags[i].name && std::string(entry.tags[i].name) == name)
      return entry.tags[i].value ? entry.tags[i].value : "";
  return {};
}

struct Column {
  const wchar_t* title;
  const char* tag;  // null: the row number
  int weight;
};
constexpr Column Columns[] = {{L"#", nullptr, 3},       {L"White", "White", 12}, {L"Black", "Black", 12},
                              {L"Result", "Result", 6}, {L"Event", "Event", 14}, {L"Date", "Date", 7}};

void DrawCell(HDC dc, const std::wstring& text, RECT cell) {
  cell.left += 6;
  cell.right -= 4;
  DrawTextW(dc, text.c_str(), -1, &cell, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

// The game list: a header band, then one row per game in display order, the current one marked.
void PaintList(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  HBRUSH back = CreateSolidBrush(RGB(255, 255, 255));
  FillRect(dc, &client, back);
  DeleteObject(back);
  HFONT font = CreateFontIndirectA(reinterpret_cast<const LOGFONTA*>(&Settings().panelFont));
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  const int width = client.right, rowHeight = M().rowHeight;
  int weights = 0;
  for (const Column& c : Columns) weights += c.weight;
  auto columnLeft = [&](size_t i) {
    int before = 0;
    for (size_t j = 0; j < i; ++j) before += Columns[j].weight;
    return before * width / weights;
  };

  RECT header{0, 0, width, rowHeight + 4};
  HBRUSH band = CreateSolidBrush(RGB(232, 237, 244));
  FillRect(dc, &header, band);
  DeleteObject(band);
  SetTextColor(dc, TextColour);
  for (size_t i = 0; i < std::size(Columns); ++i)
    DrawCell(dc, Columns[i].title, RECT{columnLeft(i), 0, columnLeft(i + 1), header.bottom});

  HostGames& games = Games();
  const HostGameArray list = games.ListedGames();
  const HostIndexArray order = games.DisplayOrder();
  const int32_t current = *games.CurrentRow();
  if (list.count == 0) {
    RECT note{0, header.bottom + 20, width, header.bottom + 60};
    SetTextColor(dc, RGB(120, 128, 140));
    DrawTextW(dc, L"No games: start the host with --games FILE... to list some.", -1, &note,
              DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  for (int32_t position = M().firstRow; position < order.count; ++position) {
    const int top = header.bottom + (position - M().firstRow) * rowHeight;
    if (top >= client.bottom) break;
    const int32_t row = order.items[position];
    const HostGameEntry& entry = list.items[row];
    RECT line{0, top, width, top + rowHeight};
    const bool isCurrent = row == current;
    HBRUSH fill = CreateSolidBrush(isCurrent      ? RGB(214, 228, 248)
                                   : position % 2 ? RGB(248, 249, 251)
                                                  : RGB(255, 255, 255));
    FillRect(dc, &line, fill);
    DeleteObject(fill);
    SetTextColor(dc, isCurrent ? AccentColour : TextColour);
    for (size_t i = 0; i < std::size(Columns); ++i) {
      const std::wstring text =
          Columns[i].tag ? Widen(TagValue(entry, Columns[i].tag), ByteText::SystemCodePage) : std::to_wstring(row + 1);
      DrawCell(dc, text, RECT{columnLeft(i), top, columnLeft(i + 1), top + rowHeight});
    }
  }
  SelectObject(dc, oldFont);
  DeleteObject(font);
}

int VisibleRows(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  const int rows = (client.bottom - (M().rowHeight + 4)) / M().rowHeight;
  return rows > 1 ? rows : 1;
}

void ScrollTo(HWND window, int firstRow) {
  const int last = Games().Count() - VisibleRows(window);
  if (firstRow > last) firstRow = last;
  if (firstRow < 0) firstRow = 0;
  if (firstRow == M().firstRow) return;
  M().firstRow = firstRow;
  InvalidateRect(window, nullptr, FALSE);
}

// The current game changes and its row comes into view (the display order is the list's order).
void SelectRow(HWND window, int32_t row) {
  HostGames& games = Games();
  if (row < 0 || row >= games.Count()) return;
  games.SelectGame(row);
  if (row < M().firstRow) ScrollTo(window, row);
  if (row >= M().firstRow + VisibleRows(window)) ScrollTo(window, row - VisibleRows(window) + 1);
  InvalidateRect(window, nullptr, FALSE);
}

void RunHostCommand(HWND window, int32_t id) {
  const int32_t count = Games().Count(), current = *Games().CurrentRow();
  switch (id) {
    case CommandExit:
      PostMessageW(window, WM_CLOSE, 0, 0);
      break;
    case CommandFirstGame:
      SelectRow(window, 0);
      break;
    case CommandPreviousGame:
      SelectRow(window, current - 1);
      break;
    case CommandNextGame:
      SelectRow(window, current + 1);
      break;
    case CommandLastGame:
      SelectRow(window, count - 1);
      break;
    default:
      break;
  }
}

// Commands of the plug-in go to their callbacks, show commands to their panels.
void OnCommand(HWND window, int32_t id) {
  const std::vector<HostCommandFn>& commands = Commands();
  if (id >= 1000 && size_t(id - 1000) < commands.size()) {
    if (HostCommandFn callback = commands[size_t(id - 1000)]) callback();
    return;
  }
  if (RunShowCommand(id)) return;
  RunHostCommand(window, id);
}

// The "Panels" menu lists every panel, checked while it shows.
void FillPanelsMenu() {
  HMENU menu = M().panelsMenu;
  while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
  for (const PanelFrame& frame : Panels())
    AppendMenuW(menu, MF_STRING | (IsWindowVisible(frame.window) ? MF_CHECKED : 0), UINT_PTR(frame.showCommand),
                frame.title.c_str());
  if (Panels().empty()) AppendMenuW(menu, MF_STRING | MF_GRAYED, 0, L"(no panels)");
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      PaintList(window, dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_COMMAND:
      OnCommand(window, int32_t(LOWORD(wParam)));
      return 0;
    case WM_INITMENUPOPUP:
      if (reinterpret_cast<HMENU>(wParam) == M().panelsMenu) FillPanelsMenu();
      return 0;
    case WM_LBUTTONDOWN: {
      const int y = GET_Y_LPARAM(lParam) - (M().rowHeight + 4);
      if (y >= 0) {
        const int32_t position = M().firstRow + y / M().rowHeight;
        const HostIndexArray order = Games().DisplayOrder();
        if (position < order.count) SelectRow(window, order.items[position]);
      }
      SetFocus(window);
      return 0;
    }
    case WM_MOUSEWHEEL:
      ScrollTo(window, M().firstRow - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_PRIOR) ScrollTo(window, M().firstRow - VisibleRows(window));
      if (wParam == VK_NEXT) ScrollTo(window, M().firstRow + VisibleRows(window));
      if (wParam == VK_UP) RunHostCommand(window, CommandPreviousGame);
      if (wParam == VK_DOWN) RunHostCommand(window, CommandNextGame);
      if (wParam == VK_HOME) RunHostCommand(window, CommandFirstGame);
      if (wParam == VK_END) RunHostCommand(window, CommandLastGame);
      return 0;
    case WM_CLOSE:
      if (M().beforeClose) {
        auto stop = std::move(M().beforeClose);
        M().beforeClose = nullptr;
        stop();
      }
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(M().exitCode);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

HMENU BuildMenuBar(HMENU& gamesMenu) {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, CommandExit, L"E&xit");
  gamesMenu = CreatePopupMenu();
  AppendMenuW(gamesMenu, MF_STRING, CommandFirstGame, L"&First game\tHome");
  AppendMenuW(gamesMenu, MF_STRING, CommandPreviousGame, L"&Previous game\tUp");
  AppendMenuW(gamesMenu, MF_STRING, CommandNextGame, L"&Next game\tDown");
  AppendMenuW(gamesMenu, MF_STRING, CommandLastGame, L"&Last game\tEnd");
  M().panelsMenu = CreatePopupMenu();
  AppendMenuW(bar, MF_POPUP, UINT_PTR(file), L"&File");
  AppendMenuW(bar, MF_POPUP, UINT_PTR(gamesMenu), L"&Games");
  AppendMenuW(bar, MF_POPUP, UINT_PTR(M().panelsMenu), L"&Panels");
  return bar;
}

}  // namespace

HWND CreateMainWindow(HINSTANCE instance, const wchar_t* title, std::function<void()> beforeClose) {
  WNDCLASSEXW c{};
  c.cbSize = sizeof c;
  c.lpfnWndProc = &MainProc;
  c.hInstance = instance;
  c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  c.lpszClassName = MainClass;
  RegisterClassExW(&c);
  M().beforeClose = std::move(beforeClose);
  M().rowHeight = Settings().textHeight + 6;
  HMENU gamesMenu = nullptr;
  HMENU bar = BuildMenuBar(gamesMenu);
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  HWND window = CreateWindowExW(0, MainClass, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, area.left, area.top,
                                area.right - area.left, area.bottom - area.top, nullptr, bar, instance, nullptr);
  M().window = window;
  Settings().mainWindow = window;
  Settings().hostMenu = gamesMenu;
  return window;
}

void SetExitCode(int code) { M().exitCode = code; }
int ExitCode() { return M().exitCode; }

}  // namespace hostsim
