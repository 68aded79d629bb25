// What befell the files and games a job could not read or write, in the words the command line
// and the plug-in both use. Each text follows the file's name and ": ", which the caller writes
// its own way (the command line as its streams show it, after "pgnutil: "; the plug-in in wide
// characters, in one message after the job).
#pragma once

#include <string>

#include "job/job_state.h"

// "not read: <why>", or for a file read in part "read only up to byte <n> of its text (<why>);
// the games before it were kept".
std::string UnreadableText(const UnreadableFile& file);

// "not written: <why>".
std::string WriteFailureText(const WriteFailure& failure);

// "the game at byte <n> was not written: <why>".
std::string UnwrittenGameText(const UnwrittenGame& game);
