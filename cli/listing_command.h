// "pgnutil inspect FILE...": what the reader makes of files, one JSON object per game.
#pragma once

#include <string>
#include <vector>

// Runs the inspect command; `arguments` begin with "inspect". Returns the exit status.
int RunInspect(const std::vector<std::string>& arguments);
