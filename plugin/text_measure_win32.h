// Text widths and heights in a font on a window, for the portable layouts.
#pragma once

#include <windows.h>

#include <string_view>

#include "panel/option_pages.h"

class FontMeasure : public TextMeasure {
 public:
  FontMeasure(HWND measured, HFONT font) : window(measured), dc(GetDC(measured)) { old = SelectObject(dc, font); }
  ~FontMeasure() override {
    SelectObject(dc, old);
    ReleaseDC(window, dc);
  }
  FontMeasure(const FontMeasure&) = delete;
  FontMeasure& operator=(const FontMeasure&) = delete;

  int32_t Width(std::string_view text) override { return Size(text).cx; }
  // The height of a line of text ("Save to" stands for every line).
  int32_t Height() override { return Size("Save to").cy; }

 private:
  SIZE Size(std::string_view text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.data(), int(text.size()), &size);
    return size;
  }
  HWND window;
  HDC dc;
  HGDIOBJ old;
};
