// The option pages' value fields: a one-line edit showing the value, and one drop-down list shared
// by every field ("Recent list") that opens under or over the field clicked. Every change goes
// through the field's validator; a rejected typed text beeps and the field shows its last
// accepted text again.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// What a field's validator says: the field's item index after the change, or nothing when the
// change is refused. `index` >= 0: that item was chosen from the list; -1: `text` was typed.
using FieldValidator = std::function<std::optional<int32_t>(int32_t index, const std::u16string& text)>;

struct TCHeckList {
  HWND window = nullptr;
  std::vector<std::u16string> items;
  std::u16string text;  // the last accepted text
  int32_t index = 0;    // its item index, -1 for a typed value
  FieldValidator validator;
  bool readOnly = false;
  // Run as the list opens, to rebuild the items (the player fields).
  std::function<void(TCHeckList&)> beforeOpen;
};

// Creates the field's edit window at (x, y), the record's items, text, validator and read-only
// flag being filled in; the record must live as long as the window.
void CreateCheckList(TCHeckList& field, int x, int y, int width, HWND parent);
// The field shows its record's text again.
void RestoreCheckList(TCHeckList& field);
// Shows `text` as the field's accepted value (a refresh of the options).
void ShowCheckListValue(TCHeckList& field, const std::u16string& text, int32_t index);
// When a field has the keyboard focus, takes it away so that what was typed there is committed
// (or refused) before another control acts on the options.
void CommitFocusedCheckList(HWND panel);
// Whether the window is a field's edit.
bool IsCheckListWindow(HWND window);
// Forgets every field and destroys the shared list (the panel's window is going).
void DestroyCheckLists();
