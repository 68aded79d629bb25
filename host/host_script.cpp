#include "host/host_script.h"

#include <charconv>
#include <utility>

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char x = (a[i] >= 'A' && a[i] <= 'Z') ? char(a[i] + 32) : a[i];
    const char y = (b[i] >= 'A' && b[i] <= 'Z') ? char(b[i] + 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

// Two integers separated by blanks, nothing else.
bool TwoNumbers(std::string_view text, int32_t& a, int32_t& b) {
  const char* p = text.data();
  const char* end = p + text.size();
  auto first = std::from_chars(p, end, a);
  if (first.ec != std::errc() || first.ptr == end || (*first.ptr != ' ' && *first.ptr != '\t')) return false;
  std::string_view rest = Trim(std::string_view(first.ptr, size_t(end - first.ptr)));
  auto second = std::from_chars(rest.data(), rest.data() + rest.size(), b);
  return second.ec == std::errc() && second.ptr == rest.data() + rest.size();
}

struct StepName {
  const char* name;
  StepKind kind;
};
constexpr StepName StepNames[] = {
    {"menu", StepKind::Menu},
    {"click", StepKind::Click},
    {"right-click", StepKind::RightClick},
    {"hover", StepKind::Hover},
    {"click-button", StepKind::ClickButton},
    {"click-check", StepKind::ClickCheck},
    {"type", StepKind::Type},
    {"key", StepKind::Key},
    {"answer", StepKind::Answer},
    {"file", StepKind::File},
    {"folder", StepKind::Folder},
    {"wait-modal", StepKind::WaitModal},
    {"resize", StepKind::Resize},
    {"capture", StepKind::Capture},
    {"press", StepKind::Press},
    {"release", StepKind::Release},
    {"print", StepKind::Print},
    {"print-file", StepKind::PrintFile},
    {"pick", StepKind::Pick},
    {"wait-window", StepKind::WaitWindow},
    {"print-settings", StepKind::PrintSettings},
    {"expect-file", StepKind::ExpectFile},
    {"expect-no-file", StepKind::ExpectNoFile},
    {"close", StepKind::Close},
};

// Checks and completes one step from its argument; an error text when it cannot be a step.
std::string Complete(ScriptStep& step, std::string_view name, std::string_view argument) {
  const std::string quoted = "\"" + std::string(name) + "\"";
  switch (step.kind) {
    case StepKind::Click:
    case StepKind::RightClick:
    case StepKind::Hover:
    case StepKind::Resize:
      if (!TwoNumbers(argument, step.x, step.y)) return quoted + " needs two whole numbers";
      if (step.kind == StepKind::Resize && (step.x <= 0 || step.y <= 0)) return "a panel cannot be that small";
      return {};
    case StepKind::WaitModal:
    case StepKind::Close:
      if (!argument.empty()) return quoted + " takes nothing after it";
      return {};
    case StepKind::Key: {
      // An optional count after the name presses the key that many times.
      std::string_view keyName = argument;
      const size_t blank = argument.find_last_of(" \t");
      if (blank != std::string_view::npos) {
        const std::string_view count = argument.substr(blank + 1);
        auto parsed = std::from_chars(count.data(), count.data() + count.size(), step.x);
        if (parsed.ec != std::errc() || parsed.ptr != count.data() + count.size() || step.x < 1 || step.x > 10000)
          return "a key is pressed 1 to 10000 times";
        keyName = Trim(argument.substr(0, blank));
      } else {
        step.x = 1;
      }
      if (!KeyByName(keyName, step.key)) return "unknown key \"" + std::string(keyName) + "\"";
      step.text = keyName;
      return {};
    }
    case StepKind::Press:
    case StepKind::Release:
      if (!KeyByName(argument, step.key) || step.key.ctrl || step.key.shift)
        return "press and release take one key: Shift, Ctrl or another key's name";
      step.text = argument;
      return {};
    case StepKind::Answer:
      for (const char* button : {"Yes", "No", "OK", "Cancel"})
        if (SameLetters(argument, button)) {
          step.text = button;
          return {};
        }
      return "a message box is answered with Yes, No, OK or Cancel";
    case StepKind::Print:
      for (const char* what :
           {"menu", "menu-place", "hover-marks", "host-menu", "panel", "host", "queries", "fields", "list", "memory"})
        if (argument == what) {
          step.text = what;
          return {};
        }
      return "print what? menu, menu-place, hover-marks, host-menu, panel, host, queries, fields, list or memory";
    case StepKind::Capture: {
      const size_t blank = argument.find_first_of(" \t");
      const std::string_view window = argument.substr(0, blank);
      const std::string_view file = blank == std::string_view::npos ? std::string_view() : Trim(argument.substr(blank));
      if (window != "host" && window != "panel" && window != "modal") return "capture host, panel or modal";
      auto endsWith = [&](std::string_view suffix) {
        return file.size() > suffix.size() && SameLetters(file.substr(file.size() - suffix.size()), suffix);
      };
      if (!endsWith(".png") && !endsWith(".bmp")) return "a capture is written to a .png or .bmp file";
      step.text = window;
      step.file = file;
      return {};
    }
    case StepKind::Type:
      step.text = argument;
      return {};
    default:
      if (argument.empty()) return quoted + " needs something after it";
      step.text = argument;
      return {};
  }
}

}  // namespace

bool KeyByName(std::string_view name, KeyPress& key) {
  key = KeyPress{};
  for (;;) {
    if (name.size() > 5 && SameLetters(name.substr(0, 5), "ctrl+")) {
      key.ctrl = true;
      name.remove_prefix(5);
    } else if (name.size() > 6 && SameLetters(name.substr(0, 6), "shift+")) {
      key.shift = true;
      name.remove_prefix(6);
    } else {
      break;
    }
  }
  static const std::pair<const char*, uint8_t> named[] = {
      {"Enter", 0x0D},  {"Tab", 0x09},      {"Esc", 0x1B},    {"Escape", 0x1B}, {"Backspace", 0x08}, {"Space", 0x20},
      {"PageUp", 0x21}, {"PageDown", 0x22}, {"End", 0x23},    {"Home", 0x24},   {"Left", 0x25},      {"Up", 0x26},
      {"Right", 0x27},  {"Down", 0x28},     {"Delete", 0x2E}, {"F1", 0x70},     {"F2", 0x71},        {"F3", 0x72},
      {"F4", 0x73},     {"F5", 0x74},       {"Shift", 0x10},  {"Ctrl", 0x11},
  };
  for (const auto& [text, code] : named)
    if (SameLetters(name, text)) {
      key.virtualKey = code;
      return true;
    }
  if (name.size() == 1) {
    char c = name[0];
    if (c >= 'a' && c <= 'z') c = char(c - 32);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
      key.virtualKey = uint8_t(c);
      return true;
    }
  }
  return false;
}

Script ParseScript(std::string_view text) {
  Script script;
  int line = 0;
  while (!text.empty() || line == 0) {
    ++line;
    const size_t end = text.find('\n');
    std::string_view row = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (row.empty() || row.front() == '#') {
      if (text.empty()) break;
      continue;
    }
    const size_t blank = row.find_first_of(" \t");
    const std::string_view name = row.substr(0, blank);
    const std::string_view argument = blank == std::string_view::npos ? std::string_view() : Trim(row.substr(blank));
    ScriptStep step;
    step.line = line;
    bool known = false;
    for (const StepName& candidate : StepNames)
      if (name == candidate.name) {
        step.kind = candidate.kind;
        known = true;
      }
    if (!known) {
      script.error = "line " + std::to_string(line) + ": unknown step \"" + std::string(name) + "\"";
      return script;
    }
    if (std::string problem = Complete(step, name, argument); !problem.empty()) {
      script.error = "line " + std::to_string(line) + ": " + problem;
      return script;
    }
    script.steps.push_back(std::move(step));
    if (text.empty()) break;
  }
  return script;
}
