// Captures a window as it shows on the screen, to a PNG or BMP file.
#pragma once

#include <windows.h>

#include <filesystem>

// Repaints the window and its children at once.
void RepaintWindow(HWND window);

// Copies the window's rectangle from the screen. What a window paints reaches the screen once its
// thread's message loop has been idle (Wine flushes window surfaces then), so a capture follows a
// repaint by a turn of the loop. False when the window is gone or the file cannot be written.
bool CaptureWindow(HWND window, const std::filesystem::path& file);
