#include "io/write_target.h"

#include <cstdint>
#include <system_error>

namespace {

TargetKind KindOf(const std::filesystem::file_status& status) {
  switch (status.type()) {
    case std::filesystem::file_type::not_found:
      return TargetKind::Absent;
    case std::filesystem::file_type::regular:
      return TargetKind::Regular;
    case std::filesystem::file_type::fifo:
    case std::filesystem::file_type::character:
    case std::filesystem::file_type::block:
      return TargetKind::Stream;
    case std::filesystem::file_type::directory:
      return TargetKind::Folder;
    default:
      return TargetKind::Other;
  }
}

}  // namespace

WriteTarget ResolveWriteTarget(const std::filesystem::path& path) {
  // Links are followed one at a time, so that a link to a file not made yet leads to where the
  // file will be, and the link stays.
  std::filesystem::path at = path;
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(at, error);
    if (status.type() != std::filesystem::file_type::symlink) {
      if (error && status.type() != std::filesystem::file_type::not_found) return {at, TargetKind::Other};
      return {at, KindOf(status)};
    }
    const std::filesystem::path next = std::filesystem::read_symlink(at, error);
    if (error) return {at, TargetKind::Other};
    at = next.is_absolute() ? next : at.parent_path() / next;
  }
  return {at, TargetKind::Other};
}

std::string UnwritableReason(TargetKind kind) {
  switch (kind) {
    case TargetKind::Folder:
      return "is a folder";
    case TargetKind::Other:
      return "is no file that can be written (a socket, or links that lead nowhere)";
    default:
      return "";
  }
}

std::filesystem::path TemporaryBeside(const std::filesystem::path& target, std::string_view suffix) {
  const std::filesystem::path fileName = target.filename();
  const auto& name = fileName.native();
  if (name.size() + suffix.size() <= MaxNameLength) {
    std::filesystem::path temporary = target;
    temporary += suffix;
    return temporary;
  }
  // FNV-1a over the name's units: different long names get different temporary names.
  uint64_t hash = 14695981039346656037ull;
  for (auto unit : name) hash = (hash ^ uint64_t(unit)) * 1099511628211ull;
  std::string shortName = "~";
  for (int i = 15; i >= 0; --i) shortName += "0123456789abcdef"[(hash >> (4 * i)) & 15];
  shortName += suffix;
  return target.parent_path() / shortName;
}
