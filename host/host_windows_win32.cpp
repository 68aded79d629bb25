#include "host/host_windows_win32.h"

#include <windowsx.h>

#include "host/hostsim_win32.h"

namespace hostsim {

const wchar_t* const PanelClass = L"PgnHostPanel";
const wchar_t* const ModalClass = L"PgnHostModal";
const wchar_t* const ButtonClass = L"knop";
const wchar_t* const CheckClass = L"PgnHostCheck";

namespace {

const wchar_t* const ButtonProperty = L"PgnHostButton";
const wchar_t* const CheckProperty = L"PgnHostCheckBox";

// What a plug-in window of the host's frames runs: the plug-in's procedures.
struct FrameProcedures {
  HostWindowProcFn windowProc = nullptr;
  HostPaintFn paint = nullptr;
  bool isPanel = false;
};

struct WindowState {
  HINSTANCE instance = nullptr;
  std::vector<PanelFrame> panels;
  std::vector<HWND> modals;
  HBITMAP faces[3] = {};
};

WindowState& W() {
  static WindowState state;
  return state;
}

FrameProcedures* ProceduresOf(HWND window) {
  return reinterpret_cast<FrameProcedures*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HFONT MakeFont(const HostLogFont& font) { return CreateFontIndirectA(reinterpret_cast<const LOGFONTA*>(&font)); }

// The panel in front shows an active caption, the others an inactive one.
void BringPanelForward(HWND window) {
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  for (const PanelFrame& frame : W().panels)
    if (IsWindow(frame.window)) SendMessageW(frame.window, WM_NCACTIVATE, frame.window == window, 0);
}

// The plug-in's windows in the host's frames: the plug-in's procedure sees every message from
// WM_NCCREATE on; the host only brings a clicked panel to the front.
LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  FrameProcedures* procedures = ProceduresOf(window);
  if (message == WM_MOUSEACTIVATE && procedures && procedures->isPanel) BringPanelForward(window);
  LRESULT result = procedures && procedures->windowProc ? procedures->windowProc(window, message, wParam, lParam)
                                                        : DefaultWindowProc(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete procedures;
  }
  return result;
}

void FillRounded(HDC dc, const RECT& r, COLORREF fill, COLORREF border, int corner) {
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 1, border);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  RoundRect(dc, r.left, r.top, r.right, r.bottom, corner, corner);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

// A face of the host's buttons: a soft vertical gradient with a rounded border.
HBITMAP MakeFace(COLORREF top, COLORREF bottom, COLORREF border) {
  const int width = 120, height = 28;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, width, height};
  HBRUSH back = CreateSolidBrush(BackgroundColour);
  FillRect(dc, &all, back);
  DeleteObject(back);
  for (int y = 0; y < height; ++y) {
    const int t = y * 255 / (height - 1);
    const COLORREF c = RGB((GetRValue(top) * (255 - t) + GetRValue(bottom) * t) / 255,
                           (GetGValue(top) * (255 - t) + GetGValue(bottom) * t) / 255,
                           (GetBValue(top) * (255 - t) + GetBValue(bottom) * t) / 255);
    HPEN pen = CreatePen(PS_SOLID, 1, c);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    MoveToEx(dc, 1, y, nullptr);
    LineTo(dc, width - 1, y);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }
  HGDIOBJ hollow = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
  HPEN pen = CreatePen(PS_SOLID, 1, border);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  RoundRect(dc, 0, 0, width, height, 8, 8);
  SelectObject(dc, oldPen);
  SelectObject(dc, hollow);
  DeleteObject(pen);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

void StretchBitmap(HDC dc, HBITMAP bitmap, const RECT& to) {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, bitmap);
  SetStretchBltMode(dc, HALFTONE);
  StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, source, 0, 0, info.bmWidth, info.bmHeight,
             SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

void Invalidate(HWND window) {
  if (window && IsWindow(window)) InvalidateRect(window, nullptr, TRUE);
}

void PaintButton(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  const Values& v = Settings();
  const auto* button = static_cast<HostButton*>(GetPropW(window, ButtonProperty));
  const int state = v.pressedButton == window ? 2 : v.hotButton == window ? 1 : 0;
  HBITMAP face = button ? static_cast<HBITMAP>(button->pictures[state]) : nullptr;
  if (face)
    StretchBitmap(dc, face, client);
  else
    FillRounded(dc, client,
                state == 2   ? RGB(200, 216, 238)
                : state == 1 ? RGB(226, 236, 250)
                             : RGB(236, 240, 245),
                state ? AccentColour : RGB(150, 162, 178), 8);
  wchar_t caption[128] = {};
  GetWindowTextW(window, caption, 128);
  if (caption[0]) {
    HFONT font = MakeFont(v.panelFont);
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, state ? AccentColour : TextColour);
    if (state == 2) OffsetRect(&client, 1, 1);
    DrawTextW(dc, caption, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteObject(font);
  }
  EndPaint(window, &paint);
}

// The "knop" class: hot under the mouse, pressed while the left button is held on it, and the
// click procedure of its record when the button is released over it.
LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Values& v = Settings();
  switch (message) {
    case WM_PAINT:
      PaintButton(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE:
      if (v.hotButton != window) {
        HWND previous = static_cast<HWND>(v.hotButton);
        v.hotButton = window;
        Invalidate(previous);
        Invalidate(window);
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
        TrackMouseEvent(&track);
      }
      return 0;
    case WM_MOUSELEAVE:
      if (v.hotButton == window) {
        v.hotButton = nullptr;
        Invalidate(window);
      }
      return 0;
    case WM_LBUTTONDOWN:
      v.pressedButton = window;
      SetCapture(window);
      Invalidate(window);
      return 0;
    case WM_LBUTTONUP: {
      if (v.pressedButton != window) return 0;
      v.pressedButton = nullptr;
      if (GetCapture() == window) ReleaseCapture();
      Invalidate(window);
      RECT client;
      GetClientRect(window, &client);
      const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const auto* button = static_cast<HostButton*>(GetPropW(window, ButtonProperty));
      if (PtInRect(&client, at) && button && button->onClick) button->onClick();
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (v.pressedButton == window && reinterpret_cast<HWND>(lParam) != window) {
        v.pressedButton = nullptr;
        Invalidate(window);
      }
      return 0;
    case WM_DESTROY:
      if (v.hotButton == window) v.hotButton = nullptr;
      if (v.pressedButton == window) v.pressedButton = nullptr;
      RemovePropW(window, ButtonProperty);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

void PaintCheck(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT r;
  GetClientRect(window, &r);
  const auto* box = static_cast<HostCheckBox*>(GetPropW(window, CheckProperty));
  const bool checked = box && box->state == 1;
  FillRounded(dc, r, checked ? AccentColour : RGB(255, 255, 255), checked ? AccentColour : RGB(128, 138, 152), 5);
  if (checked) {
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(dc, pen);
    const int w = r.right, h = r.bottom;
    MoveToEx(dc, w * 22 / 100, h * 52 / 100, nullptr);
    LineTo(dc, w * 42 / 100, h * 72 / 100);
    LineTo(dc, w * 78 / 100, h * 30 / 100);
    SelectObject(dc, old);
    DeleteObject(pen);
  }
  EndPaint(window, &paint);
}

// The host's check box: a click toggles its record's state (1 checked, 2 unchecked) and calls
// the record's procedure.
LRESULT CALLBACK CheckProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintCheck(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
      SetCapture(window);
      return 0;
    case WM_LBUTTONUP: {
      if (GetCapture() == window) ReleaseCapture();
      RECT client;
      GetClientRect(window, &client);
      const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      auto* box = static_cast<HostCheckBox*>(GetPropW(window, CheckProperty));
      if (!box || !PtInRect(&client, at)) return 0;
      box->state = box->state == 1 ? 2 : 1;
      Invalidate(window);
      if (box->onChange) box->onChange();
      return 0;
    }
    case WM_DESTROY:
      RemovePropW(window, CheckProperty);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

ATOM Register(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, UINT style) {
  WNDCLASSEXW c{};
  c.cbSize = sizeof c;
  c.style = style;
  c.lpfnWndProc = procedure;
  c.hInstance = instance;
  c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  c.hbrBackground = nullptr;
  c.lpszClassName = name;
  return RegisterClassExW(&c);
}

// A rectangle of the given size centred over a window, kept on the work area.
RECT CentredOver(HWND over, int width, int height) {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT base = area;
  if (over) GetWindowRect(over, &base);
  int left = (base.left + base.right - width) / 2, top = (base.top + base.bottom - height) / 2;
  if (left + width > area.right) left = area.right - width;
  if (top + height > area.bottom) top = area.bottom - height;
  if (left < area.left) left = area.left;
  if (top < area.top) top = area.top;
  return RECT{left, top, left + width, top + height};
}

}  // namespace

void RegisterWindowClasses(HINSTANCE instance) {
  WindowState& w = W();
  w.instance = instance;
  Register(instance, PanelClass, &FrameProc, CS_DBLCLKS);
  Register(instance, ModalClass, &FrameProc, CS_DBLCLKS);
  // Global: the plug-in creates its buttons with its own module handle.
  Register(instance, ButtonClass, &ButtonProc, CS_GLOBALCLASS);
  Register(instance, CheckClass, &CheckProc, CS_GLOBALCLASS);
  w.faces[0] = MakeFace(RGB(252, 253, 255), RGB(226, 232, 240), RGB(150, 162, 178));
  w.faces[1] = MakeFace(RGB(240, 246, 255), RGB(208, 224, 246), AccentColour);
  w.faces[2] = MakeFace(RGB(196, 214, 240), RGB(220, 232, 248), AccentColour);
  HostButton& face = Settings().style.buttonTemplate;
  for (int i = 0; i < 3; ++i) face.pictures[i] = w.faces[i];
}

void UnregisterWindowClasses() {
  WindowState& w = W();
  for (const wchar_t* name : {PanelClass, ModalClass, ButtonClass, CheckClass}) UnregisterClassW(name, w.instance);
  for (HBITMAP& face : w.faces) {
    if (face) DeleteObject(face);
    face = nullptr;
  }
}

HostWindow __stdcall CreatePanel(const uint16_t* title, int32_t x, int32_t y, int32_t width, int32_t height,
                                 HostWindow owner, int32_t, int32_t, int32_t, HostWindowProcFn windowProc,
                                 HostPaintFn paint) {
  WindowState& w = W();
  HWND parent = owner ? static_cast<HWND>(owner) : static_cast<HWND>(Settings().mainWindow);
  const std::wstring caption = title ? reinterpret_cast<const wchar_t*>(title) : L"";
  PanelFrame frame;
  frame.title = caption;
  frame.showCommand = 900 + int32_t(w.panels.size());
  // The record exists before the window does: the plug-in may look for it while it is created.
  HostPanelRecord record{};
  record.showCommand = frame.showCommand;
  Settings().panels.push_back(record);
  auto* procedures = new FrameProcedures{windowProc, paint, true};
  HWND window = CreateWindowExW(0, PanelClass, caption.c_str(),
                                WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                x, y, width, height, parent, nullptr, w.instance, procedures);
  if (!window) {
    delete procedures;
    Settings().panels.pop_back();
    return nullptr;
  }
  Settings().panels.back().window = window;
  frame.window = window;
  w.panels.push_back(frame);
  return window;
}

int32_t __stdcall RunModal(const uint16_t* title, int32_t, int32_t, int32_t width, int32_t height, HostWindow owner,
                           HostWindowProcFn windowProc, HostPaintFn paint) {
  WindowState& w = W();
  Values& v = Settings();
  HWND top = owner ? GetAncestor(static_cast<HWND>(owner), GA_ROOT) : static_cast<HWND>(v.mainWindow);
  const RECT place = CentredOver(top, width, height);
  auto* procedures = new FrameProcedures{windowProc, paint, false};
  const int32_t outer = v.modalResult;
  v.modalResult = 0;
  HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, ModalClass, title ? reinterpret_cast<const wchar_t*>(title) : L"",
                                WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, place.left, place.top, width,
                                height, top, nullptr, w.instance, procedures);
  if (!window) {
    delete procedures;
    v.modalResult = outer;
    return -1;
  }
  w.modals.push_back(window);
  if (top) EnableWindow(top, FALSE);
  ShowWindow(window, SW_SHOW);
  SetActiveWindow(window);
  MSG message;
  bool quit = false;
  while (v.modalResult == 0 && IsWindow(window)) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      quit = true;
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  const int32_t result = v.modalResult == 0 ? -1 : v.modalResult;
  if (top) EnableWindow(top, TRUE);
  if (IsWindow(window)) DestroyWindow(window);
  w.modals.pop_back();
  if (top) SetActiveWindow(top);
  v.modalResult = outer;
  if (quit) PostQuitMessage(int(message.wParam));
  return result == -1 ? -1 : 1;
}

HostResult __stdcall DefaultWindowProc(HostWindow handle, uint32_t message, HostWParam wParam, HostLParam lParam) {
  HWND window = static_cast<HWND>(handle);
  FrameProcedures* procedures = ProceduresOf(window);
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      if (procedures && procedures->paint) procedures->paint(window, dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      PaintBackground(window, reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_CLOSE:
      // A panel's close box hides it; a modal window's cancels it.
      if (procedures && procedures->isPanel) {
        ShowWindow(window, SW_HIDE);
        return 0;
      }
      if (procedures) {
        Settings().modalResult = -1;
        return 0;
      }
      break;
    case WM_GETMINMAXINFO:
      for (const HostPanelRecord& record : Settings().panels)
        if (record.window == window && record.minimumWidth > 0) {
          auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
          limits->ptMinTrackSize.x = record.minimumWidth;
          limits->ptMinTrackSize.y = record.minimumHeight;
          return 0;
        }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void __stdcall PaintBackground(HostWindow window, HostDeviceContext dc) {
  RECT client;
  GetClientRect(static_cast<HWND>(window), &client);
  HBRUSH brush = CreateSolidBrush(BackgroundColour);
  FillRect(static_cast<HDC>(dc), &client, brush);
  DeleteObject(brush);
}

void __stdcall MakeCheckBox(HostCheckBox* box, int32_t x, int32_t y, HostWindow parent) {
  if (!box) return;
  const Values& v = Settings();
  HWND window = CreateWindowExW(0, CheckClass, L"", WS_CHILD | WS_VISIBLE, x, y, v.checkBoxWidth, v.checkBoxHeight,
                                static_cast<HWND>(parent), nullptr, W().instance, nullptr);
  box->window = window;
  if (window) SetPropW(window, CheckProperty, box);
}

void __stdcall DrawImage(HostDeviceContext dc, void* image, int32_t x, int32_t y, int32_t width, int32_t height) {
  StretchBitmap(static_cast<HDC>(dc), static_cast<HBITMAP>(image), RECT{x, y, x + width, y + height});
}

void __stdcall MakeButton(HostButton* button) {
  if (!button || !button->window) return;
  SetPropW(static_cast<HWND>(button->window), ButtonProperty, button);
  Invalidate(static_cast<HWND>(button->window));
}

void __stdcall MakeCaptionButton(HostButton* button, const uint16_t* caption) {
  MakeButton(button);
  if (button && button->window && caption)
    SetWindowTextW(static_cast<HWND>(button->window), reinterpret_cast<const wchar_t*>(caption));
}

const std::vector<PanelFrame>& Panels() { return W().panels; }

bool RunShowCommand(int32_t command) {
  for (const PanelFrame& frame : W().panels)
    if (frame.showCommand == command && IsWindow(frame.window)) {
      ShowWindow(frame.window, SW_SHOW);
      BringPanelForward(frame.window);
      return true;
    }
  return false;
}

HWND CurrentModal() { return W().modals.empty() ? nullptr : W().modals.back(); }

int ModalDepth() { return int(W().modals.size()); }

void DestroyPanels() {
  for (const PanelFrame& frame : W().panels)
    if (IsWindow(frame.window)) DestroyWindow(frame.window);
  W().panels.clear();
  Settings().panels.clear();
}

}  // namespace hostsim
