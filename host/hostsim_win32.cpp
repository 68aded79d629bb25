#include "host/hostsim_win32.h"

#include "host/host_windows_win32.h"

#include <windows.h>

#include <cstring>
#include <mutex>
#include <string>

namespace hostsim {
namespace {

void SetFont(HostLogFont& font, int32_t height, int32_t weight, const char* face) {
  font = HostLogFont{};
  font.height = height;
  font.weight = weight;
  font.charSet = DEFAULT_CHARSET;
  std::strncpy(font.faceName, face, sizeof font.faceName - 1);
}

Values DefaultValues() {
  Values v;
  SetFont(v.panelFont, -13, FW_NORMAL, "Tahoma");
  SetFont(v.captionFont, -13, FW_BOLD, "Tahoma");
  return v;
}

// The host's state: one per process, reached by the query functions, which take no context.
struct State {
  Values values;
  HostGames games;
  std::vector<int32_t> asked;
  std::vector<std::string> askedLog;  // every query function's ids: "48", "W1", "V20", "D8"
  std::vector<HostCommandFn> commands;
  HostGameArray gameList{};
  HostIndexArray displayOrder{};
  HostPanelArray panels{};
  std::string result, comment;
  CRITICAL_SECTION lock;
  State() : values(DefaultValues()) { InitializeCriticalSection(&lock); }
  ~State() { DeleteCriticalSection(&lock); }
};

State& S() {
  static State state;
  return state;
}

// The current game's services.
const char* __stdcall LineComment(int32_t flag) {
  S().comment = S().games.LineComment(flag);
  return S().comment.c_str();
}
void __stdcall EnterVariation(int32_t oneBasedIndex) { S().games.EnterVariation(oneBasedIndex); }
void __stdcall LeaveVariation() { S().games.LeaveVariation(); }
const HostMove* __stdcall MoveAt(int32_t index) { return S().games.MoveAt(index); }
void __stdcall ShowMove(int32_t index) { S().games.ShowMove(index); }
int32_t __stdcall InVariation() { return S().games.InVariation() ? 1 : 0; }
int32_t __stdcall MoveCount() { return S().games.MoveCount(); }
int32_t __stdcall CurrentMove() { return S().games.CurrentMove(); }
int32_t __stdcall PlyNumber() { return S().games.PlyNumber(); }
const char* __stdcall ResultText() {
  S().result = S().games.ResultText();
  return S().result.c_str();
}
void __stdcall SelectGame(int32_t row) { S().games.SelectGame(row); }

int32_t __stdcall RegisterCommand(int32_t, HostCommandFn callback) {
  S().commands.push_back(callback);
  return 1000 + int32_t(S().commands.size()) - 1;
}

// A job's thread asks for the lock while the user-interface thread asks for other things: the
// record of queries is kept under a lock of its own.
std::mutex logLock;

void Log(const char* prefix, int32_t id) {
  std::lock_guard<std::mutex> guard(logLock);
  S().askedLog.push_back(prefix + std::to_string(id));
}

intptr_t __stdcall WindowQuery(int32_t id) {
  Log("W", id);
  switch (id) {
    case HostWindowMain:
      return reinterpret_cast<intptr_t>(S().values.mainWindow);
    case HostWindowMenu:
      return reinterpret_cast<intptr_t>(S().values.hostMenu);
    default:
      return 0;
  }
}

template <typename T>
intptr_t Address(T& value) {
  return reinterpret_cast<intptr_t>(&value);
}

intptr_t __stdcall ValueQuery(int32_t id) {
  Log("V", id);
  Values& v = S().values;
  switch (id) {
    case HostValuePathLength:
      return Address(v.pathLength);
    case HostValueWheelFraction:
      return Address(v.wheelFraction);
    case HostValueEvenRows:
      return Address(v.evenRows);
    case HostValueHighlightFill:
      return Address(v.highlightFill);
    case HostValueHighlightText:
      return Address(v.highlightText);
    case HostValueMarginTop:
      return Address(v.marginTop);
    case HostValueMarginBottom:
      return Address(v.marginBottom);
    case HostValueMarginLeft:
      return Address(v.marginLeft);
    case HostValueMarginRight:
      return Address(v.marginRight);
    case HostValueCheckBoxHeight:
      return Address(v.checkBoxHeight);
    case HostValueCheckBoxWidth:
      return Address(v.checkBoxWidth);
    case HostValuePanelFont:
      return Address(v.panelFont);
    case HostValueCaptionFont:
      return Address(v.captionFont);
    case HostValueOddRows:
      return Address(v.oddRows);
    case HostValueHeaderLine:
      return Address(v.headerLine);
    case HostValueLineColour:
      return v.lineColourGiven ? Address(v.lineColour) : 0;
    case HostValueGrowthStep:
      return Address(v.growthStep);
    default:
      return 0;
  }
}

intptr_t __stdcall DataQuery(int32_t id) {
  Log("D", id);
  State& s = S();
  Values& v = s.values;
  switch (id) {
    case HostDataMouseSuspended:
      return Address(v.mouseSuspended);
    case HostDataModalResult:
      return Address(v.modalResult);
    case HostDataStyle:
      return Address(v.style);
    case HostDataLock:
      return Address(s.lock);
    case HostDataCurrentRow:
      return reinterpret_cast<intptr_t>(s.games.CurrentRow());
    case HostDataHotButton:
      return Address(v.hotButton);
    case HostDataPressedButton:
      return Address(v.pressedButton);
    case HostDataPanels:
      s.panels = HostPanelArray{v.panels.data(), int32_t(v.panels.size())};
      return Address(s.panels);
    case HostDataCurrentLine:
      return reinterpret_cast<intptr_t>(s.games.CurrentLine());
    case HostDataMouseSuspended2:
      return Address(v.mouseSuspended2);
    case HostDataDisplayOrder:
      s.displayOrder = s.games.DisplayOrder();
      return Address(s.displayOrder);
    case HostDataTextHeight:
      return Address(v.textHeight);
    case HostDataGameList:
      s.gameList = s.games.ListedGames();
      return Address(s.gameList);
    case HostDataSmoothWheel:
      return v.smoothWheelGiven ? Address(v.smoothWheel) : 0;
    default:
      return 0;
  }
}

template <typename F>
intptr_t Service(F* function) {
  return reinterpret_cast<intptr_t>(reinterpret_cast<void*>(function));
}

intptr_t __stdcall HostQuery(int32_t id) {
  {
    std::lock_guard<std::mutex> guard(logLock);
    S().asked.push_back(id);
  }
  Log("", id);
  switch (id) {
    case HostQueryCommentFunction:
      return S().values.offersCommentService ? Service(&LineComment) : 0;
    case HostQueryEnterVariation:
      return Service(&EnterVariation);
    case HostQueryLeaveVariation:
      return Service(&LeaveVariation);
    case HostQueryMoveAt:
      return Service(&MoveAt);
    case HostQueryShowMove:
      return Service(&ShowMove);
    case HostQueryInVariation:
      return Service(&InVariation);
    case HostQueryMoveCount:
      return Service(&MoveCount);
    case HostQueryCurrentMove:
      return Service(&CurrentMove);
    case HostQueryPlyNumber:
      return Service(&PlyNumber);
    case HostQueryResultText:
      return Service(&ResultText);
    case HostQuerySelectGame:
      return Service(&SelectGame);
    case HostQueryWindowQuery:
      return Service(&WindowQuery);
    case HostQueryValueQuery:
      return Service(&ValueQuery);
    case HostQueryDataQuery:
      return Service(&DataQuery);
    case HostQueryRegisterCommand:
      return Service(&RegisterCommand);
    case HostQueryCreatePanel:
      return Service(&CreatePanel);
    case HostQueryRunModal:
      return Service(&RunModal);
    case HostQueryDefaultWindowProc:
      return Service(&DefaultWindowProc);
    case HostQueryPaintBackground:
      return Service(&PaintBackground);
    case HostQueryCheckBox:
      return Service(&MakeCheckBox);
    case HostQueryDrawImage:
      return Service(&DrawImage);
    case HostQueryMakeButton:
      return Service(&MakeButton);
    case HostQueryMakeCaptionButton:
      return Service(&MakeCaptionButton);
    default:
      return 0;
  }
}

}  // namespace

HostQueryFn Query() { return &HostQuery; }

Values& Settings() { return S().values; }

HostGames& Games() { return S().games; }

void Reset() {
  State& s = S();
  // The style record keeps the button faces the window classes made: they live with the classes.
  const HostStyle style = s.values.style;
  s.values = DefaultValues();
  s.values.style = style;
  s.games = HostGames();
  s.asked.clear();
  s.askedLog.clear();
  s.commands.clear();
}

const std::vector<int32_t>& AskedIds() { return S().asked; }

std::vector<std::string> AskedLog() {
  std::lock_guard<std::mutex> guard(logLock);
  return S().askedLog;
}

const std::vector<HostCommandFn>& Commands() { return S().commands; }

}  // namespace hostsim
