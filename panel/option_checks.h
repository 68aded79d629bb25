// What the option pages' check boxes show and change in the processing options.
#pragma once

#include <vector>

#include "options/processing_options.h"
#include "panel/option_pages.h"

// Whether the box of a control shows checked for these options (false for a control that is
// not a check box).
bool IsChecked(const TProcessingOptions& options, OptionControl control);

// Sets the option of a check box. Returns the boxes this unchecks: the player split excludes the
// White and Black splits, and each of those the player split.
std::vector<OptionControl> SetChecked(TProcessingOptions& options, OptionControl control, bool checked);
