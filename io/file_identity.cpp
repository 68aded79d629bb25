#include "io/file_identity.h"

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  const auto first = IdentityOf(a);
  return first && first == IdentityOf(b);
}
