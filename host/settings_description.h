// A settings file as lines a test can compare: the output path, the mode, and each processing
// option that differs from its default.
#pragma once

#include <string>

#include "options/settings_file.h"

std::string DescribeSettings(const TSettings& settings);
