// Writes a pgn_util.dat as the panel saves it, with the options of the split-by-result job
// (split by result, comments and variations removed, the roster tags only), for the test of
// pgnutil --settings.
#include <cstdio>

#include "options/processing_options.h"
#include "options/settings_file.h"

namespace {

class NoWindow : public SettingsWindow {
 public:
  PanelRect PanelRectangle() override { return {10, 20, 640, 450}; }
  bool PanelVisible() override { return true; }
  WorkArea DesktopWorkArea() override { return {0, 0, 1280, 1024}; }
  void MovePanel(const PanelRect&) override {}
  void ShowPanel() override {}
  void ShowOutputBase(const std::u16string&) override {}
  void CheckMakeDefault(bool) override {}
  void RefreshOptionControls() override {}
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_settings FILE\n");
    return 2;
  }
  TJobChoices choices;
  choices.makeDefaultAutomatically = false;  // the options are saved only in this mode
  choices.ProcessingOptions.splitByResult = true;
  choices.ProcessingOptions.removeComments = true;
  choices.ProcessingOptions.removeVariations = true;
  choices.ProcessingOptions.tagRemoval = TagRemoval::AllButRoster;
  NoWindow window;
  return SaveSettings(argv[1], window, choices) ? 0 : 1;
}
