// Captures a window as it shows on the screen, to a PNG or BMP file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>

// Repaints the window and its children at once.
void RepaintWindow(HWND window);

// Copies the window's rectangle from the screen. What a window paints reaches the screen once its
// thread's message loop has been idle (Wine flushes window surfaces then), so a capture follows a
// repaint by a turn of the loop. False when the window is gone or the file cannot be written.
bool CaptureWindow(HWND window, const std::filesystem::path& file);

// The window as it shows on the screen, as pixels; false when it is gone or hidden.
struct RgbImage;
bool GrabWindow(HWND window, RgbImage& image);
// How many of the window's pixels on the screen have exactly that colour; -1 when it is gone.
int64_t CountColour(HWND window, uint8_t red, uint8_t green, uint8_t blue);
