// A scratch file of our own in the system's temporary folder that nobody else can name: the
// system removes it when it is closed or the program ends, however it ends.
#pragma once

#include <cstdio>
#include <string>

// Opened for reading and writing; null with the reason in `error` when it cannot be made.
std::FILE* OpenAnonymousFile(std::string& error);
