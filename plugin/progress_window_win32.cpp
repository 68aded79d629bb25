#include "plugin/progress_window_win32.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "chess/eco.h"
#include "io/codepage.h"
#include "job/job.h"
#include "job/job_problems.h"
#include "options/processing_options.h"
#include "plugin/host_button_win32.h"
#include "plugin/panel_updates_win32.h"
#include "plugin/panel_view_win32.h"
#include "plugin/plugin_state_win32.h"
#include "services/host.h"

namespace {

constexpr UINT_PTR PollTimer = 1;
constexpr int StageCount = 9;

struct ProgressView {
  HWND window = nullptr, bar = nullptr;
  HostButton stop{};
  JobStage lastStage = JobStage::Starting;
  std::wstring lastPath;
  int textHeight = 16;
};
ProgressView view;

int32_t Margin(const int32_t* value) { return THostServices::Read<int32_t>(value, 8); }

void __stdcall OnStop() { Plugin.session.JobState.stopRequested = true; }

// The job's file as line 2 shows it: its name only, without the trailing NUL characters a
// folder job adds.
std::wstring ShownPath() {
  std::wstring path;
  {
    HostLockGuard lock;
    path = Plugin.session.JobState.File().wstring();
  }
  while (!path.empty() && path.back() == L'\0') path.pop_back();
  return path;
}

std::wstring FileName(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The window's content, made when it is shown: the progress bar, the "Stop" button, its size
// and its place over the panel.
void LayOut(HWND window) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_PROGRESS_CLASS;
  InitCommonControlsEx(&controls);
  const int32_t top = Margin(Plugin.host.marginTop), bottom = Margin(Plugin.host.marginBottom);
  const int32_t left = Margin(Plugin.host.marginLeft), right = Margin(Plugin.host.marginRight);
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, Plugin.view.controlFont);
  int width = 350;
  for (int stage = 0; stage < StageCount; ++stage) {
    const char* text = StageText(JobStage(stage));
    SIZE size{};
    GetTextExtentPoint32A(dc, text, int(strlen(text)), &size);
    width = std::max<int>(width, size.cx);
    view.textHeight = size.cy;
  }
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  const int h = view.textHeight;
  int y = top + 5 + 2 * h + 10;
  view.bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, left + 10, y, width, h + 2, window,
                             nullptr, Plugin.instance, nullptr);
  SendMessageW(view.bar, PBM_SETRANGE32, 0, 100);
  y += h + 15;
  const int clientWidth = width + left + right + 20;
  if (const auto* style = static_cast<const HostStyle*>(Plugin.host.Data(HostDataStyle)))
    view.stop = style->buttonTemplate;
  HWND stop = CreateWindowExW(0, L"knop", L"Stop", WS_CHILD | WS_VISIBLE, clientWidth - right - 113, y, 105, 28, window,
                              nullptr, Plugin.instance, nullptr);
  view.stop.window = stop;
  view.stop.onClick = &OnStop;
  if (stop) {
    SetWindowRgn(stop, CreateRoundRectRgn(-1, -1, 107, 30, 28, 28), TRUE);
    if (Plugin.host.makeCaptionButton)
      Plugin.host.makeCaptionButton(&view.stop, reinterpret_cast<const uint16_t*>(u"Stop"));
  }
  const int clientHeight = y + 35 + bottom;
  // The sizes above are the content's; the host's frame comes around them, so that "Stop" is
  // never cut off by a caption.
  RECT outer{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&outer, DWORD(GetWindowLongW(window, GWL_STYLE)), FALSE,
                     DWORD(GetWindowLongW(window, GWL_EXSTYLE)));
  const int windowWidth = outer.right - outer.left, windowHeight = outer.bottom - outer.top;
  RECT panel{};
  if (Plugin.panel) GetWindowRect(Plugin.panel, &panel);
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  int x = std::max<int>((panel.left + panel.right - windowWidth) / 2, 0);
  int yWindow = std::max<int>((panel.top + panel.bottom - windowHeight) / 2, 0);
  if (x + windowWidth > area.right) x = std::max<int>(area.right - windowWidth, 0);
  if (yWindow + windowHeight > area.bottom) yWindow = std::max<int>(area.bottom - windowHeight, 0);
  SetWindowPos(window, nullptr, x, yWindow, windowWidth, windowHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  view.lastStage = JobStage::Starting;
  SetTimer(window, PollTimer, 1, nullptr);
}

void Poll(HWND window) {
  const JobStage stage = Plugin.session.JobState.stage.load();
  bool changed = stage != view.lastStage;
  view.lastStage = stage;
  const int position = int(SendMessageW(view.bar, PBM_GETPOS, 0, 0));
  switch (stage) {
    case JobStage::Loading:
      if (changed || position == 0)
        SendMessageW(view.bar, PBM_SETRANGE32, 0,
                     LPARAM(std::min<int64_t>(Plugin.session.JobState.loadSize / 1000, INT32_MAX)));
      if (ShownPath() != view.lastPath) changed = true;
      SendMessageW(view.bar, PBM_SETPOS,
                   WPARAM(std::min<int64_t>(Plugin.session.JobState.loadPosition / 1000, INT32_MAX)), 0);
      break;
    case JobStage::Saving:
    case JobStage::LoadingPending:
      if (changed) SendMessageW(view.bar, PBM_SETRANGE32, 0, Plugin.session.JobState.stepCount.load());
      if (ShownPath() != view.lastPath) changed = true;
      SendMessageW(view.bar, PBM_SETPOS, WPARAM(Plugin.session.JobState.stepPosition.load()), 0);
      break;
    case JobStage::Sorting:
      if (changed) SendMessageW(view.bar, PBM_SETRANGE32, 0, Plugin.session.JobState.stepCount.load());
      SendMessageW(view.bar, PBM_SETPOS, WPARAM(Plugin.session.JobState.stepPosition.load()), 0);
      break;
    case JobStage::Done:
      if (Plugin.session.JobState.kind != JobKind::ProcessAndSave) RefreshList();
      KillTimer(window, PollTimer);
      if (Plugin.host.modalResult) *Plugin.host.modalResult = 1;
      break;
    default:
      break;
  }
  if (changed) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
  }
}

HostResult __stdcall ProgressProc(HostWindow handle, uint32_t message, HostWParam wParam, HostLParam lParam) {
  HWND window = static_cast<HWND>(handle);
  if (message == WM_SHOWWINDOW && wParam && !view.bar) {
    view.window = window;
    LayOut(window);
  }
  if (message == WM_TIMER && wParam == PollTimer) {
    Poll(window);
    return 0;
  }
  return Plugin.host.DefaultWindowProc(window, message, wParam, lParam);
}

void __stdcall ProgressPaint(HostWindow handle, HostDeviceContext context) {
  HWND window = static_cast<HWND>(handle);
  HDC dc = static_cast<HDC>(context);
  if (Plugin.host.paintBackground) Plugin.host.paintBackground(window, dc);
  const int x = Margin(Plugin.host.marginLeft) + 10, y = Margin(Plugin.host.marginTop) + 5;
  const PanelTextStyle style(dc);
  const JobStage stage = Plugin.session.JobState.stage.load();
  const char* text = StageText(stage);
  TextOutA(dc, x, y, text, int(strlen(text)));
  if (stage == JobStage::Loading || stage == JobStage::Saving || stage == JobStage::LoadingPending) {
    const std::wstring path = ShownPath();
    const std::wstring name = FileName(path);
    if (!name.empty()) TextOutW(dc, x, y + view.textHeight + 5, name.c_str(), int(name.size()));
    view.lastPath = path;
  }
}

// Waits for the job inside the host's modal window; a window the host cancels stops the job,
// which is then waited for to its end.
class ProgressWait : public ModalWait {
 public:
  void WaitUntilDone(JobProgress& progress) override {
    view = ProgressView{};
    int32_t result = -1;
    if (Plugin.host.runModal)
      result = Plugin.host.runModal(reinterpret_cast<const uint16_t*>(u"Action progress"), 0, 0, 200, 200, Plugin.panel,
                                    &ProgressProc, &ProgressPaint);
    if (result < 0) Plugin.session.JobState.stopRequested = true;
    PlainWait rest;
    rest.WaitUntilDone(progress);
    view = ProgressView{};
  }
};

// One message for what a job could not do: files it could not read, outputs it could not write,
// games it could not write, ECO codes it could not find for want of the table; with the count of
// damaged games skipped.
void TellWhatFailed(JobKind kind, size_t unreadableBefore, size_t writeFailuresBefore, size_t unwrittenBefore,
                    size_t skippedBefore) {
  const TJobState& s = Plugin.session.JobState;
  std::wstring text;
  size_t lines = 0;
  auto add = [&](const std::wstring& line) {
    if (++lines <= 12) text += line + L"\n";
  };
  const TProcessingOptions& o = Plugin.session.ProcessingOptions;
  const bool codesWanted = o.addEcoNames || o.splitEcoLevel != EcoSplit::None || !o.ecoOpening.empty();
  if (kind == JobKind::ProcessAndSave && codesWanted && EcoTable().empty())
    add(L"The ECO table " + (Plugin.hostFolder / "plugins" / "ecos.dat").wstring() +
        L" could not be read: no game was given an ECO code.");
  // In the command line's words (job/job_problems.h), after the file's name.
  const auto fileLine = [&](const std::filesystem::path& file, const std::string& what) {
    add(file.wstring() + L": " + Widen(what, ByteText::SystemCodePage));
  };
  for (size_t i = unreadableBefore; i < s.unreadableFiles.size(); ++i)
    fileLine(s.unreadableFiles[i].path, UnreadableText(s.unreadableFiles[i]));
  for (size_t i = writeFailuresBefore; i < s.writeFailures.size(); ++i)
    fileLine(s.writeFailures[i].path, WriteFailureText(s.writeFailures[i]));
  for (size_t i = unwrittenBefore; i < s.unwritten.size(); ++i)
    fileLine(s.unwritten[i].file, UnwrittenGameText(s.unwritten[i]));
  if (lines == 0) return;
  if (lines > 12) text += L"... and " + std::to_wstring(lines - 12) + L" more.\n";
  const size_t skipped = s.skipped.size() - skippedBefore;
  if (skipped > 0) text += L"\n" + std::to_wstring(skipped) + L" damaged games were skipped.\n";
  MessageBoxW(Plugin.panel, text.c_str(), L"PGN handling", MB_OK | MB_ICONWARNING);
}

}  // namespace

void RunJobWithProgress(JobKind kind, const std::filesystem::path& input) {
  const TJobState& s = Plugin.session.JobState;
  const size_t unreadable = s.unreadableFiles.size(), writeFailures = s.writeFailures.size();
  const size_t unwritten = s.unwritten.size(), skipped = s.skipped.size();
  ProgressWait wait;
  StartJob(Plugin.session, kind, wait, input);
  RefreshList();
  TellWhatFailed(kind, unreadable, writeFailures, unwritten, skipped);
}
