#include "plugin/host_services_win32.h"

namespace {

template <typename F>
void Fetch(HostQueryFn query, int32_t id, F& into) {
  into = reinterpret_cast<F>(reinterpret_cast<void*>(query(id)));
}

template <typename T>
void Point(HostQueryFn subQuery, int32_t id, T*& into) {
  into = subQuery ? reinterpret_cast<T*>(subQuery(id)) : nullptr;
}

}  // namespace

bool FetchHostServices(HostQueryFn query, THostServices& s) {
  s = THostServices{};
  if (query == nullptr) return false;
  Fetch(query, HostQueryCommentFunction, s.lineComment);
  if (s.lineComment == nullptr) return false;
  s.query = query;

  Fetch(query, HostQueryWindowQuery, s.windowQuery);
  Fetch(query, HostQueryValueQuery, s.valueQuery);
  Fetch(query, HostQueryDataQuery, s.dataQuery);
  Fetch(query, HostQueryRegisterCommand, s.registerCommand);
  Fetch(query, HostQueryDefaultWindowProc, s.defaultWindowProc);
  Fetch(query, HostQueryCreatePanel, s.createPanel);
  query(HostQueryUnused);  // asked for, as the host expects, and never called
  Fetch(query, HostQueryMakeButton, s.makeButton);
  Fetch(query, HostQueryMakeCaptionButton, s.makeCaptionButton);
  Fetch(query, HostQueryDrawImage, s.drawImage);
  Fetch(query, HostQueryPaintBackground, s.paintBackground);
  Fetch(query, HostQueryMoveCount, s.moveCount);
  Fetch(query, HostQuerySelectGame, s.selectGame);
  Fetch(query, HostQueryMoveAt, s.moveAt);
  Fetch(query, HostQueryEnterVariation, s.enterVariation);
  Fetch(query, HostQueryShowMove, s.showMove);
  Fetch(query, HostQueryLeaveVariation, s.leaveVariation);
  Fetch(query, HostQueryResultText, s.resultText);
  Fetch(query, HostQueryInVariation, s.inVariation);
  Fetch(query, HostQueryCurrentMove, s.currentMove);
  Fetch(query, HostQueryPlyNumber, s.plyNumber);
  Fetch(query, HostQueryCheckBox, s.checkBox);
  Fetch(query, HostQueryRunModal, s.runModal);

  s.mainWindow = s.windowQuery ? reinterpret_cast<HWND>(s.windowQuery(HostWindowMain)) : nullptr;
  Point(s.valueQuery, HostValueMarginTop, s.marginTop);
  Point(s.valueQuery, HostValueMarginBottom, s.marginBottom);
  Point(s.valueQuery, HostValueMarginLeft, s.marginLeft);
  Point(s.valueQuery, HostValueMarginRight, s.marginRight);
  Point(s.valueQuery, HostValueLineColour, s.lineColour);
  Point(s.valueQuery, HostValueHeaderLine, s.headerLine);
  Point(s.valueQuery, HostValueHighlightFill, s.highlightFill);
  Point(s.valueQuery, HostValueHighlightText, s.highlightText);
  Point(s.valueQuery, HostValueEvenRows, s.evenRows);
  Point(s.valueQuery, HostValueOddRows, s.oddRows);
  Point(s.dataQuery, HostDataMouseSuspended, s.mouseSuspended);
  Point(s.dataQuery, HostDataMouseSuspended2, s.mouseSuspended2);
  Point(s.valueQuery, HostValuePanelFont, s.panelFont);
  Point(s.valueQuery, HostValueCaptionFont, s.captionFont);
  s.hostMenu = s.windowQuery ? reinterpret_cast<HMENU>(s.windowQuery(HostWindowMenu)) : nullptr;
  Point(s.valueQuery, HostValueWheelFraction, s.wheelFraction);
  Point(s.valueQuery, HostValuePathLength, s.pathLength);
  Point(s.valueQuery, HostValueCheckBoxHeight, s.checkBoxHeight);
  Point(s.valueQuery, HostValueCheckBoxWidth, s.checkBoxWidth);
  Point(s.dataQuery, HostDataSmoothWheel, s.smoothWheel);
  Point(s.dataQuery, HostDataModalResult, s.modalResult);
  return true;
}
