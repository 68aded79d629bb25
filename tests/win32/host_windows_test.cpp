// The host's window services as a plug-in uses them: panel frames with their records and show
// commands, modal windows and how they end, the "knop" buttons, check boxes and drawing.
#include <gtest/gtest.h>
#include <windows.h>

#include "host/host_windows_win32.h"
#include "host/hostsim_win32.h"

namespace {

int clicks = 0, changes = 0, paints = 0;
void __stdcall CountClick() { ++clicks; }
void __stdcall CountChange() { ++changes; }
void __stdcall CountPaint(HostWindow, HostDeviceContext) { ++paints; }

class HostWindows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { hostsim::RegisterWindowClasses(GetModuleHandleW(nullptr)); }
  void SetUp() override {
    clicks = changes = paints = 0;
    owner = CreateWindowExW(0, L"Static", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    hostsim::Settings().mainWindow = owner;
  }
  void TearDown() override {
    hostsim::DestroyPanels();
    DestroyWindow(owner);
  }
  static void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  HWND Child(const wchar_t* className) {
    return CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 28, owner, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }
  HWND owner = nullptr;
};

TEST_F(HostWindows, AKnopButtonIsHotUnderTheMousePressedWhileHeldAndClicksWhenReleasedOverIt) {
  HostButton button{};
  button.window = Child(hostsim::ButtonClass);
  ASSERT_NE(button.window, nullptr);
  button.onClick = &CountClick;
  hostsim::MakeCaptionButton(&button, reinterpret_cast<const uint16_t*>(u"Start"));
  wchar_t caption[16] = {};
  GetWindowTextW(static_cast<HWND>(button.window), caption, 16);
  EXPECT_STREQ(caption, L"Start");
  // The style record's template carries the host's three faces.
  for (void* face : hostsim::Settings().style.buttonTemplate.pictures) EXPECT_NE(face, nullptr);

  HWND window = static_cast<HWND>(button.window);
  SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(hostsim::Settings().hotButton, window);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(hostsim::Settings().pressedButton, window);
  EXPECT_EQ(clicks, 0);
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(hostsim::Settings().pressedButton, nullptr);
  // Released away from the button: no click.
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(300, 5));
  EXPECT_EQ(clicks, 1);
  SendMessageW(window, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(hostsim::Settings().hotButton, nullptr);
  DestroyWindow(window);
}

TEST_F(HostWindows, ACheckBoxTogglesItsRecordAndCallsItsProcedure) {
  HostCheckBox box{};
  box.state = 2;
  box.onChange = &CountChange;
  hostsim::MakeCheckBox(&box, 30, 40, owner);
  ASSERT_NE(box.window, nullptr);
  RECT r;
  GetWindowRect(static_cast<HWND>(box.window), &r);
  MapWindowPoints(HWND_DESKTOP, owner, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(r.right - r.left, hostsim::Settings().checkBoxWidth);
  EXPECT_EQ(r.bottom - r.top, hostsim::Settings().checkBoxHeight);
  HWND window = static_cast<HWND>(box.window);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(box.state, 1);
  EXPECT_EQ(changes, 1);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(box.state, 2);
  EXPECT_EQ(changes, 2);
}

HostResult __stdcall EndsOnATimer(HostWindow window, uint32_t message, HostWParam wParam, HostLParam lParam) {
  if (message == WM_CREATE) SetTimer(static_cast<HWND>(window), 1, 20, nullptr);
  if (message == WM_TIMER) {
    hostsim::Settings().modalResult = 1;
    return 0;
  }
  return hostsim::DefaultWindowProc(window, message, wParam, lParam);
}

HostResult __stdcall ClosesItself(HostWindow window, uint32_t message, HostWParam wParam, HostLParam lParam) {
  if (message == WM_CREATE) PostMessageW(static_cast<HWND>(window), WM_CLOSE, 0, 0);
  return hostsim::DefaultWindowProc(window, message, wParam, lParam);
}

bool ownerWasDisabled = false;
HostResult __stdcall LooksAtItsOwner(HostWindow window, uint32_t message, HostWParam wParam, HostLParam lParam) {
  if (message == WM_SHOWWINDOW) {
    ownerWasDisabled = !IsWindowEnabled(GetWindow(static_cast<HWND>(window), GW_OWNER));
    PostMessageW(static_cast<HWND>(window), WM_CLOSE, 0, 0);
  }
  return hostsim::DefaultWindowProc(window, message, wParam, lParam);
}

TEST_F(HostWindows, AModalWindowRunsUntilItsResultIsSetAndPaintsThroughThePlugInsProcedure) {
  const int32_t result = hostsim::RunModal(reinterpret_cast<const uint16_t*>(u"Rename"), 0, 0, 300, 200, owner,
                                           &EndsOnATimer, &CountPaint);
  EXPECT_EQ(result, 1);
  EXPECT_GT(paints, 0);
  EXPECT_EQ(hostsim::CurrentModal(), nullptr);
  EXPECT_EQ(hostsim::Settings().modalResult, 0);
}

TEST_F(HostWindows, ClosingAModalWindowCancelsIt) {
  EXPECT_EQ(hostsim::RunModal(nullptr, 0, 0, 300, 200, owner, &ClosesItself, nullptr), -1);
  EXPECT_EQ(hostsim::ModalDepth(), 0);
}

TEST_F(HostWindows, TheOwnerIsDisabledWhileAModalWindowRunsAndEnabledAfter) {
  ownerWasDisabled = false;
  hostsim::RunModal(nullptr, 0, 0, 300, 200, owner, &LooksAtItsOwner, nullptr);
  EXPECT_TRUE(ownerWasDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(HostWindows, APanelHasARecordAShowCommandAndItsLeastSize) {
  HWND panel = static_cast<HWND>(hostsim::CreatePanel(reinterpret_cast<const uint16_t*>(u"Panel"), 10, 20, 400, 300,
                                                      owner, 1, 0, 2, nullptr, &CountPaint));
  ASSERT_NE(panel, nullptr);
  EXPECT_FALSE(IsWindowVisible(panel));
  ASSERT_EQ(hostsim::Settings().panels.size(), 1u);
  HostPanelRecord& record = hostsim::Settings().panels[0];
  EXPECT_EQ(record.window, panel);
  EXPECT_TRUE(hostsim::RunShowCommand(record.showCommand));
  EXPECT_TRUE(IsWindowVisible(panel));
  EXPECT_FALSE(hostsim::RunShowCommand(record.showCommand + 1));
  UpdateWindow(panel);
  Pump();
  EXPECT_GT(paints, 0);
  record.minimumWidth = 350;
  record.minimumHeight = 280;
  MINMAXINFO limits{};
  SendMessageW(panel, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, 350);
  EXPECT_EQ(limits.ptMinTrackSize.y, 280);
  // Its close box hides it; the show command brings it back.
  SendMessageW(panel, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(panel));
  EXPECT_FALSE(IsWindowVisible(panel));
}

TEST_F(HostWindows, TheBackgroundAndImagesAreDrawnWhereAsked) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, 40, 40);
  SelectObject(dc, canvas);
  HBITMAP red = CreateCompatibleBitmap(screen, 2, 2);
  HDC redDc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(redDc, red);
  RECT all{0, 0, 2, 2};
  HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(redDc, &all, brush);
  SelectObject(redDc, old);
  hostsim::PaintBackground(owner, dc);
  EXPECT_EQ(GetPixel(dc, 30, 30), hostsim::BackgroundColour);
  hostsim::DrawImage(dc, red, 5, 5, 10, 10);
  EXPECT_EQ(GetPixel(dc, 10, 10), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 20, 20), hostsim::BackgroundColour);
  DeleteObject(brush);
  DeleteDC(redDc);
  DeleteObject(red);
  DeleteDC(dc);
  DeleteObject(canvas);
  ReleaseDC(nullptr, screen);
}

}  // namespace
