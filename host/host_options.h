// The substitute host's command line:
//   pgnhost.exe [--games FILE...] [--script FILE] [--without-comment-service] <plugin.dll>
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct HostOptions {
  std::filesystem::path plugin;
  std::vector<std::filesystem::path> games;  // PGN files whose games make up the host's list
  std::filesystem::path script;              // user actions to run once the plug-in has started
  bool withoutCommentService = false;        // answer the comment query with null
  std::string error;                         // why the command line is not usable; empty when it is
};

HostOptions ParseHostOptions(const std::vector<std::wstring>& arguments);

extern const char* const HostUsage;
