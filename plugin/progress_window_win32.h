// The "Action progress" window: a host modal window that shows a running job's stage, file and
// progress and offers "Stop"; and what the user is told when a job could not do everything.
#pragma once

#include <filesystem>

#include "job/job_state.h"

// Runs a job of that kind on the session (a load reads `input`; processing writes the session's
// Selection under its output path) while the progress window shows; afterwards one message box
// tells what could not be read or written.
void RunJobWithProgress(JobKind kind, const std::filesystem::path& input = {});
