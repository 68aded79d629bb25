// The settings file pgn_util.dat: panel placement and visibility, the output path, the
// "Make default automatically" mode and, when that is off, every processing option.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "options/processing_options.h"

struct PanelRect {
  int32_t left = 0, top = 0, width = 0, height = 0;
  bool operator==(const PanelRect&) const = default;
};

// The desktop without task bars.
struct WorkArea {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The window side of saving and loading, which the panel provides.
class SettingsWindow {
 public:
  virtual ~SettingsWindow() = default;
  virtual PanelRect PanelRectangle() = 0;
  virtual bool PanelVisible() = 0;
  virtual WorkArea DesktopWorkArea() = 0;
  virtual void MovePanel(const PanelRect& rect) = 0;
  // Shows the panel through the host's show-panel command.
  virtual void ShowPanel() = 0;
  virtual void ShowOutputBase(const std::u16string& base) = 0;
  virtual void CheckMakeDefault(bool checked) = 0;
  virtual void RefreshOptionControls() = 0;
};

// Where a panel without saved settings goes: centred in the work area.
PanelRect FirstRunPlacement(int32_t width, int32_t height, const WorkArea& area);

// A saved rectangle brought back onto the screen: at least 600 x 450, no higher than the work
// area, its left edge short of the right edge and its top above the bottom, neither negative.
PanelRect CorrectPlacement(PanelRect saved, const WorkArea& area);

// What a settings file holds, each part marked present only when the file holds it whole.
struct TSettings {
  bool placementPresent = false;
  PanelRect placement;
  bool visible = false;
  bool outputPresent = false;  // the output path and the mode
  std::u16string outputBase;
  bool makeDefaultAutomatically = true;
  bool optionsPresent = false;  // never with the mode on: it saves no options
  TProcessingOptions options;   // normalised as loading brings them into range
};

// Reads a settings file into a value, touching nothing else; a missing file gives a value with
// nothing present.
TSettings ReadSettings(const std::filesystem::path& file);

// Writes the panel's placement and `choices`. The file is first written beside its final name
// and then renamed over it, so a failure never leaves a damaged file in place of a good one.
// False when it failed.
bool SaveSettings(const std::filesystem::path& file, SettingsWindow& window, const TJobChoices& choices);

// Reads the settings and applies them to the panel and to `choices` (the plug-in's part);
// without a file the panel is centred at the default size.
// A damaged or short option block leaves the options at their defaults. True when the
// processing options came from the file (not when it has none: "Make default automatically"
// saves none).
bool LoadSettings(const std::filesystem::path& file, SettingsWindow& window, int32_t defaultWidth,
                  int32_t defaultHeight, TJobChoices& choices);
