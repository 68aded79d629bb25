// The host's services and values as the plug-in fetches them once at start: the query functions,
// the services they return and the pointers to values the host keeps.
#pragma once

#include <windows.h>

#include "plugin/host_api.h"

struct THostServices {
  HostQueryFn query = nullptr, windowQuery = nullptr, valueQuery = nullptr, dataQuery = nullptr;

  HostLineCommentFn lineComment = nullptr;
  HostCreatePanelFn createPanel = nullptr;
  HostRunModalFn runModal = nullptr;
  HostWindowProcFn defaultWindowProc = nullptr;
  HostPaintBackgroundFn paintBackground = nullptr;
  HostCheckBoxFn checkBox = nullptr;
  HostDrawImageFn drawImage = nullptr;
  HostRegisterCommandFn registerCommand = nullptr;
  HostMakeButtonFn makeButton = nullptr;
  HostMakeCaptionButtonFn makeCaptionButton = nullptr;
  HostEnterVariationFn enterVariation = nullptr;
  HostLeaveVariationFn leaveVariation = nullptr;
  HostMoveAtFn moveAt = nullptr;
  HostShowMoveFn showMove = nullptr;
  HostCountFn inVariation = nullptr, moveCount = nullptr, currentMove = nullptr, plyNumber = nullptr;
  HostTextFn resultText = nullptr;
  HostSelectGameFn selectGame = nullptr;

  HWND mainWindow = nullptr;
  HMENU hostMenu = nullptr;
  // Values, read through the host's pointers when needed; null where the host gives none.
  const int32_t *marginTop = nullptr, *marginBottom = nullptr, *marginLeft = nullptr, *marginRight = nullptr;
  const uint32_t *lineColour = nullptr, *headerLine = nullptr, *highlightFill = nullptr, *highlightText = nullptr;
  const uint32_t *evenRows = nullptr, *oddRows = nullptr;
  const uint8_t *mouseSuspended = nullptr, *mouseSuspended2 = nullptr;
  const HostLogFont *panelFont = nullptr, *captionFont = nullptr;
  const double* wheelFraction = nullptr;
  const int32_t *pathLength = nullptr, *checkBoxHeight = nullptr, *checkBoxWidth = nullptr;
  const uint8_t* smoothWheel = nullptr;
  int32_t* modalResult = nullptr;

  // A value through its pointer, or `fallback` when the host gave none.
  template <typename T>
  static T Read(const T* value, T fallback) {
    return value ? *value : fallback;
  }
  // A data pointer fetched at use (the lock, the style record, the panel records...).
  void* Data(int32_t id) const { return dataQuery ? reinterpret_cast<void*>(dataQuery(id)) : nullptr; }
  // The host's text height, read at use (16 when the host gives none).
  int32_t TextHeight() const {
    const auto* height = static_cast<const int32_t*>(Data(HostDataTextHeight));
    return height ? *height : 16;
  }
  // The host's default window procedure for the plug-in's windows (the system's without one).
  LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    return defaultWindowProc ? defaultWindowProc(window, message, wParam, lParam)
                             : DefWindowProcW(window, message, wParam, lParam);
  }
};

// Asks the host for the comment service first; without it nothing else is asked and the result
// is false. Otherwise fetches the services, then the main window, the values and the host menu,
// in the order the host expects to be asked.
bool FetchHostServices(HostQueryFn query, THostServices& services);
