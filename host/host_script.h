// The language of the host's scripts of user actions: one action a line, "#" starts a comment
// line. host/README.md describes every step.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class StepKind {
  Menu,           // menu TEXT
  Click,          // click X Y
  RightClick,     // right-click X Y
  Hover,          // hover X Y
  ClickButton,    // click-button CAPTION
  ClickCheck,     // click-check CAPTION
  Type,           // type TEXT
  Key,            // key NAME [TIMES]
  Answer,         // answer Yes|No|OK|Cancel
  File,           // file PATH
  Folder,         // folder PATH
  WaitModal,      // wait-modal
  Resize,         // resize WIDTH HEIGHT
  Capture,        // capture host|panel|modal FILE
  Press,          // press NAME: a key goes down and stays down (Shift, Ctrl)
  Release,        // release NAME
  Print,          // print menu|host-menu|panel|host|queries|fields|list
  Pick,           // pick TEXT: the entry of the open drop-down list clicked
  WaitWindow,     // wait-window TITLE
  PrintSettings,  // print-settings PATH
  PrintFile,      // print-file PATH
  ExpectFile,     // expect-file PATH
  ExpectNoFile,   // expect-no-file PATH
  Close,          // close
};

// A key as the keyboard sends it: its virtual-key code and the modifiers held with it.
struct KeyPress {
  uint8_t virtualKey = 0;
  bool ctrl = false, shift = false;
};

struct ScriptStep {
  int line = 0;
  StepKind kind = StepKind::Close;
  std::string text;      // the caption, text, path, key name or what to print or capture
  std::string file;      // capture: the image file
  int32_t x = 0, y = 0;  // click and resize: the point or size; key: how many times
  KeyPress key;
};

struct Script {
  std::vector<ScriptStep> steps;
  std::string error;  // "line 3: unknown step \"clik\"", empty when every line is a step
};

// Reads a script; the first line that is not a step stops it with an error naming the line.
Script ParseScript(std::string_view text);

// "Enter", "Tab", "Esc", "Up", "PageDown", "Delete", "Ctrl+A", "Shift+Tab", a letter or digit;
// false for a name that is none of these.
bool KeyByName(std::string_view name, KeyPress& key);
