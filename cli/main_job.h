// The main job of the command line: load every input, then process and save all loaded games.
#pragma once

#include "cli/options.h"

// Runs the request and prints the summary; returns the exit status (0 all well, 1 an input or an
// output failed).
int RunMainJob(const CliRequest& request);
