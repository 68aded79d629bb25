// The panel's side of the settings file: its placement, visibility, the output path shown and
// the menu's check mark.
#pragma once

#include "options/settings_file.h"

class PanelPlacement : public SettingsWindow {
 public:
  PanelRect PanelRectangle() override;
  bool PanelVisible() override;
  WorkArea DesktopWorkArea() override;
  void MovePanel(const PanelRect& rect) override;
  void ShowPanel() override;
  void ShowOutputBase(const std::u16string& base) override;
  void CheckMakeDefault(bool checked) override;
  void RefreshOptionControls() override;
};
