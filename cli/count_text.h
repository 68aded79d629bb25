// Counts as the command line writes them to people.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A count with a comma between thousands: "37,971".
std::string GroupedCount(int64_t value);

// A count and the noun that fits it: "1 file", "0 files", "2,400 games".
std::string Counted(int64_t value, std::string_view one, std::string_view many);
