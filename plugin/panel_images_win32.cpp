#include "plugin/panel_images_win32.h"

#include <shlwapi.h>

bool PanelPicture::Load(const std::filesystem::path& file) {
  Release();
  IStream* stream = nullptr;
  if (FAILED(SHCreateStreamOnFileW(file.c_str(), STGM_READ | STGM_SHARE_DENY_NONE, &stream))) return false;
  void* loaded = nullptr;
  const HRESULT result = OleLoadPicture(stream, 0, FALSE, IID_IPicture, &loaded);
  stream->Release();
  if (FAILED(result) || !loaded) return false;
  picture = static_cast<IPicture*>(loaded);
  return true;
}

void PanelPicture::Release() {
  if (picture) picture->Release();
  picture = nullptr;
}

void PanelPicture::Draw(HDC dc, const RECT& to) const {
  if (!picture) return;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  // Picture objects measure in hundredths of a millimetre, upwards: the source starts at the
  // bottom and runs up.
  picture->Render(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, 0, height, width, -height, nullptr);
}

HBITMAP PanelPicture::Bitmap() const {
  if (!picture) return nullptr;
  OLE_HANDLE handle = 0;
  short type = PICTYPE_NONE;
  picture->get_Type(&type);
  if (type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle))) return nullptr;
  return reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(handle));
}
