// Captures a window as it shows on the screen, to a PNG or BMP file.
#pragma once

#include <windows.h>

#include <filesystem>

// Repaints the window and its children, then copies its rectangle from the screen. False when
// the window is gone or the file cannot be written.
bool CaptureWindow(HWND window, const std::filesystem::path& file);
