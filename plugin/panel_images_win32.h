// The panel's pictures: GIF files under the host's folder, loaded as picture objects and drawn
// stretched. A file that is missing or cannot be read leaves its picture empty.
#pragma once

#include <windows.h>

#include <ole2.h>
#include <olectl.h>

#include <filesystem>

class PanelPicture {
 public:
  PanelPicture() = default;
  ~PanelPicture() { Release(); }
  PanelPicture(const PanelPicture&) = delete;
  PanelPicture& operator=(const PanelPicture&) = delete;

  // Loads the file; false (and an empty picture) when it cannot be read as a picture.
  bool Load(const std::filesystem::path& file);
  void Release();
  bool Empty() const { return picture == nullptr; }
  // Draws the picture stretched over the rectangle; nothing when it is empty.
  void Draw(HDC dc, const RECT& to) const;
  // The picture's bitmap, owned by the picture; null when empty.
  HBITMAP Bitmap() const;

 private:
  IPicture* picture = nullptr;
};
