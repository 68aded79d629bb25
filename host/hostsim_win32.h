// The substitute host's query protocol: the functions a plug-in receives from the host, with the
// values, the lock and the game list behind them. One host per process, as with the real one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/host_games.h"
#include "plugin/host_api.h"

namespace hostsim {

// The values and data the host hands out by pointer; tests may change them.
struct Values {
  int32_t pathLength = 260;
  double wheelFraction = 0.9;  // a page scrolls nine tenths of what shows
  uint32_t evenRows = 0x00FFFFFF, highlightFill = 0x00C08040, highlightText = 0x00FFFFFF;
  uint32_t oddRows = 0x00F4F4F4, headerLine = 0x00808080, lineColour = 0x00BEBEBE;
  bool lineColourGiven = true;  // false: the host answers id 49 with null
  int32_t marginTop = 8, marginBottom = 8, marginLeft = 8, marginRight = 8;
  int32_t checkBoxHeight = 16, checkBoxWidth = 16;
  HostLogFont panelFont{}, captionFont{};
  int32_t growthStep = 16;
  uint8_t mouseSuspended = 0, mouseSuspended2 = 0;
  bool smoothWheelGiven = false;
  uint8_t smoothWheel = 0;
  int32_t modalResult = 0;
  int32_t textHeight = 16;
  HostStyle style{};
  HostWindow hotButton = nullptr, pressedButton = nullptr;
  std::vector<HostPanelRecord> panels;
  HostWindow mainWindow = nullptr;
  HostMenu hostMenu = nullptr;
  // Whether the comment service (id 48) is offered; without it a plug-in stays inert.
  bool offersCommentService = true;
};

// The host's HostQuery function, to hand to StartTarselProc.
HostQueryFn Query();
Values& Settings();
HostGames& Games();
// Back to a fresh host: default values, no games, no commands, every query forgotten.
void Reset();
// The ids of HostQuery asked so far, in order.
const std::vector<int32_t>& AskedIds();
// Every query asked so far, in order: HostQuery ids as numbers, the window, value and data
// queries' ids after "W", "V" and "D".
std::vector<std::string> AskedLog();
// The callbacks registered through id 10004, by command id (commands count from 1000).
const std::vector<HostCommandFn>& Commands();

}  // namespace hostsim
