#include "host/host_options.h"

const char* const HostUsage =
    "usage: pgnhost [--games FILE...] [--script FILE] [--without-comment-service] <plugin.dll>\n"
    "  --games FILE...             load the games of these PGN files into the host's list\n"
    "  --script FILE               run the user actions of FILE once the plug-in has started\n"
    "  --without-comment-service   answer the plug-in's first query with null (it must stay inert)\n";

namespace {

bool IsOption(const std::wstring& argument) { return argument.size() > 2 && argument.compare(0, 2, L"--") == 0; }

std::string Narrow(const std::wstring& text) { return std::filesystem::path(text).string(); }

}  // namespace

HostOptions ParseHostOptions(const std::vector<std::wstring>& arguments) {
  HostOptions options;
  std::vector<std::wstring> positional;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    if (argument == L"--games") {
      const size_t first = i + 1;
      // The files run up to the next option; the last argument stays the plug-in when no
      // option follows them.
      size_t end = first;
      while (end < arguments.size() && !IsOption(arguments[end])) ++end;
      if (end == arguments.size() && end > first && positional.empty()) --end;
      if (end == first) {
        options.error = "--games needs at least one file";
        return options;
      }
      for (size_t j = first; j < end; ++j) options.games.emplace_back(arguments[j]);
      i = end - 1;
    } else if (argument == L"--script") {
      if (i + 1 >= arguments.size()) {
        options.error = "--script needs a file";
        return options;
      }
      options.script = arguments[++i];
    } else if (argument == L"--without-comment-service") {
      options.withoutCommentService = true;
    } else if (IsOption(argument)) {
      options.error = "unknown option " + Narrow(argument);
      return options;
    } else {
      positional.push_back(argument);
    }
  }
  if (positional.size() != 1) {
    options.error = positional.empty() ? "no plug-in given" : "more than one plug-in given";
    return options;
  }
  options.plugin = positional[0];
  return options;
}
