#include "job/job_state.h"

const char* StageText(JobStage stage) {
  static const char* const texts[] = {"Start working...", "Load games...",        "Filter duplicates...",
                                      "Save games...",    "Sort games...",        "get not yet loaded games...",
                                      "Apply filters...", "Finishing the job...", "Done"};
  const size_t index = size_t(stage);
  return index < 9 ? texts[index] : "";
}
