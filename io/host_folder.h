// The folder of the running program's executable: where the plug-in's settings, ECO table and
// images live, and where the command line looks for its table.
#pragma once

#include <filesystem>

std::filesystem::path HostProgramFolder();
