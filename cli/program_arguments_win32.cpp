#include <windows.h>
// (windows.h first: shellapi.h needs its types.)
#include <shellapi.h>

#include "cli/program_arguments.h"

#include <algorithm>

namespace {

std::string Narrow(const wchar_t* text, UINT codePage) {
  const int length = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string bytes(size_t(length), '\0');
  WideCharToMultiByte(codePage, 0, text, -1, bytes.data(), length, nullptr, nullptr);
  bytes.resize(size_t(length - 1));  // the terminating zero
  return bytes;
}

std::wstring Wide(const std::string& text, UINT codePage) {
  const int length = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(size_t(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), wide.data(), length);
  return wide;
}

}  // namespace

std::vector<std::string> ProgramArguments(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; wide && i < count; ++i) arguments.push_back(Narrow(wide[i], CP_UTF8));
  LocalFree(wide);
  return arguments;
}

std::string NameFromArgument(const std::string& utf8) {
  if (utf8.empty()) return utf8;
  return Narrow(Wide(utf8, CP_UTF8).c_str(), CP_ACP);
}

std::filesystem::path PathFromArgument(const std::string& argument) {
  return std::filesystem::path(std::u8string(argument.begin(), argument.end()));
}

std::vector<std::filesystem::path> InputsFromArgument(const std::string& argument) {
  const std::filesystem::path pattern = PathFromArgument(argument);
  const std::wstring last = pattern.filename().wstring();
  if (last.find_first_of(L"*?") == std::wstring::npos) return {pattern};
  std::vector<std::filesystem::path> matches;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.wstring().c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") matches.push_back(pattern.parent_path() / name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  if (matches.empty()) return {pattern};
  std::sort(matches.begin(), matches.end());
  return matches;
}
