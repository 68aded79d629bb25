#include "job/output_files.h"

#include "io/write_target.h"

std::filesystem::path AsideOf(const std::filesystem::path& path) { return TemporaryBeside(path, ".aside"); }

OutputFileSet::OutputFileSet(bool replaceFiles, const std::vector<std::filesystem::path>& sources)
    : replace(replaceFiles) {
  for (const std::filesystem::path& source : sources)
    if (const auto id = IdentityOf(source)) sourceIds.insert(*id);
}

OutputFileSet::File* OutputFileSet::Find(const std::filesystem::path& path) {
  if (auto named = byName.find(path.string()); named != byName.end()) return &files[named->second];
  // Another name for a file written already: only a file that exists can be one.
  if (byIdentity.empty()) return nullptr;
  const auto id = IdentityOf(path);
  if (!id) return nullptr;
  const auto known = byIdentity.find(*id);
  if (known == byIdentity.end()) return nullptr;
  byName.emplace(path.string(), known->second);
  return &files[known->second];
}

std::unique_ptr<OutputFileWriter> OutputFileSet::Begin(const std::filesystem::path& path) {
  if (File* file = Find(path)) return std::make_unique<OutputFileWriter>(file->written, true, true);
  File file{path, path};
  std::error_code error;
  const bool exists = std::filesystem::exists(path, error);
  const std::optional<FileIdentity> id = exists ? IdentityOf(path) : std::nullopt;
  if (id && replace && sourceIds.count(*id)) {
    // Games may still be read from it: the old text stays until the job ends.
    file.written = AsideOf(path);
    file.aside = true;
  }
  // A pipe or a device (-o /dev/null) takes the text; nothing in it is appended to.
  file.appendsToExisting = exists && !replace && ResolveWriteTarget(path).kind != TargetKind::Stream;
  files.push_back(file);
  byName.emplace(path.string(), files.size() - 1);
  if (id && (file.aside || !replace)) byIdentity.emplace(*id, files.size() - 1);
  return std::make_unique<OutputFileWriter>(file.written, !replace);
}

void OutputFileSet::Finished(const std::filesystem::path& path, const WriteResult& result) {
  File* file = Find(path);
  if (!file) return;
  if (result.ok) {
    // Counted once the text is there: a file that refused it was not appended to.
    if (file->appendsToExisting && !file->holdsText) ++appendedToExisting;
    file->holdsText = true;
  }
  // A replaced file has a new identity once it is in place.
  if (!file->aside)
    if (const auto id = IdentityOf(file->written)) byIdentity.emplace(*id, size_t(file - files.data()));
}

int64_t OutputFileSet::FileCount() const {
  int64_t count = 0;
  for (const File& file : files) count += file.holdsText ? 1 : 0;
  return count;
}

std::vector<std::pair<std::filesystem::path, std::string>> OutputFileSet::Complete() {
  std::vector<std::pair<std::filesystem::path, std::string>> failures;
  for (File& file : files) {
    if (!file.aside) continue;
    // What was written there whole goes in place; a failed piece was cut away already.
    std::error_code error;
    // Over the file a link leads to, not over the link.
    if (std::filesystem::exists(file.written, error))
      std::filesystem::rename(file.written, ResolveWriteTarget(file.target).path, error);
    if (error) failures.emplace_back(file.target, error.message());
    file.aside = false;
  }
  return failures;
}
