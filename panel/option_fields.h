// The drop-down value fields of the option pages: what each offers, what a choice from its list
// or a typed text does to the processing options, and what it shows for given options.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "job/game_list.h"
#include "options/processing_options.h"
#include "panel/option_pages.h"

// The 21 fields, in the order the pages create them (Other, Split, Filters).
const std::vector<OptionControl>& DropDownFields();
bool IsDropDownField(OptionControl control);

// The items a field offers as built with the panel (the player fields: "any" alone).
std::vector<std::u16string> FieldItems(OptionControl field);
// Read-only fields only offer their list; the others take typed text too.
bool FieldIsReadOnly(OptionControl field);

enum class FieldVerdict {
  Rejected,
  Accepted,
  // "Options..." in the "NAGs:" field: accepted when the NAG selection window ends with "Save".
  AskNagWindow,
};

// What a validator said, and the field's item index after an accepted entry.
struct FieldOutcome {
  FieldVerdict verdict = FieldVerdict::Rejected;
  int32_t index = -1;
};

// Item `index` chosen from the field's list. A player field's item k > 0 stands for the name
// `playerNames[k]` (its bytes as the games hold them; see PlayerChoices).
FieldOutcome ChooseFieldItem(TProcessingOptions& options, OptionControl field, int32_t index,
                             const std::vector<std::string>& playerNames = {});

// Text typed into a field (or shown in a read-only one) when it loses the focus. An accepted
// text stays shown as typed; the index is -1 for a number or free text, 0 for the words "any"
// and "no", and `currentIndex` for another item's name.
FieldOutcome TypeFieldText(TProcessingOptions& options, OptionControl field, std::u16string_view text,
                           int32_t currentIndex);

struct FieldShown {
  std::u16string text;
  int32_t index = -1;
  bool operator==(const FieldShown&) const = default;
};
// What a field shows for options already brought into range (NormaliseOptions).
FieldShown ShownField(const TProcessingOptions& options, OptionControl field);

// A typed number: decimal digits only, no sign or space, the empty text being 0; -1 when the
// text is not one (a number too long to matter counts as very large).
int64_t TypedNumber(std::u16string_view text);
// Lower case for ASCII and Cyrillic capitals (Ё included), as typed text is matched to items.
std::u16string FoldCase(std::u16string_view text);

// The player fields' items when their list opens: "any", then the distinct names of the rows'
// games in byte order (White names, and Black too when `bothColours`; or Black names only).
// An empty name is left out: choosing it would mean "any", not "no name".
struct PlayerChoices {
  std::vector<std::u16string> items;
  std::vector<std::string> names;  // names[0] is "" for "any"
};
PlayerChoices PlayerItems(const TGameList& list, bool white, bool bothColours);

// The open list's height: FH + 3 for no items, items * (FH + 3) under ten, else 10 * FH + 30.
int32_t DropDownHeight(size_t items, int32_t fontHeight);
// The list's top in screen coordinates: under the field when it ends above the work area's
// bottom, else over it.
int32_t DropDownTop(int32_t fieldTop, int32_t fieldBottom, int32_t height, int32_t workAreaBottom);
