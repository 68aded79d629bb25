// The option pages' windows: check boxes made by the host and fields, created hidden with the
// panel, shown with their page, and the labels, captions and frames painted on the panel.
#pragma once

#include <windows.h>

// Creates every page's controls and raises the panel's least height to what the pages need.
void BuildOptionPages(HWND panel);
void ShowOptionPage(int page, bool shown);
void PaintOptionPage(HDC dc, int page);
// Brings the processing options into range and shows them again in every check box and field.
void RefreshOptionValues();
