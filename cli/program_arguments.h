// The command line as pgnutil reads it, the same on every system.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The arguments after the program name, as UTF-8. On Windows they come from the wide command
// line: the narrow one holds the ANSI code page, which turns a file name in any other script
// into question marks. Elsewhere the bytes as given.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// A player, event or site name given on the command line (UTF-8), as the bytes tags are
// compared with: on Windows in the ANSI code page, as names were always typed and stored
// there; elsewhere as given.
std::string NameFromArgument(const std::string& utf8);

// A file or folder given on the command line (UTF-8 on Windows, as ProgramArguments gives it).
std::filesystem::path PathFromArgument(const std::string& argument);

// The inputs an INPUT argument names. On Windows, where no shell expands them, a name with "*"
// or "?" in its last part stands for the files and folders matching it, in name order (itself
// when nothing matches, so that the missing input is reported). Elsewhere the shell has done
// that: the argument as it is.
std::vector<std::filesystem::path> InputsFromArgument(const std::string& argument);
