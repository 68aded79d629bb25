#include "cli/program_arguments.h"

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

std::string NameFromArgument(const std::string& utf8) { return utf8; }

std::filesystem::path PathFromArgument(const std::string& argument) { return argument; }

std::vector<std::filesystem::path> InputsFromArgument(const std::string& argument) {
  return {PathFromArgument(argument)};
}
