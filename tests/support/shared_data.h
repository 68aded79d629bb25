// The shared collections beside the project (../shared/data): real games and the quirk files of
// other projects, some under licences that keep them out of the project. A clone of the project
// alone does not have them; the tests of them are skipped then, each saying so in one line.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#define PGN_SKIP_WITHOUT_SHARED(path)                                                              \
  do {                                                                                             \
    if (!std::filesystem::exists(path))                                                            \
      GTEST_SKIP() << "skipped: " << (path) << " is not here (../shared/data beside the project)"; \
  } while (false)
