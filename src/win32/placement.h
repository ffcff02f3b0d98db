#pragma once
#include "win32/windows_api.h"

#include "form/placement.h"
#include "win32/widget_factory.h"

namespace vor3::win32 {

// Screen rectangles as the placement rule takes them.
form::Rect rect_of(const RECT& r);
// The work area of the screen the window is on (the primary before it is).
RECT work_area(HWND window);

// Paints the maker's logo (a blue box with a sensor's signal and the name)
// into `r`.
void paint_logo(HDC dc, const RECT& r, const Fonts& fonts);

// The program's icon, `size` pixels square: the logo's signal mark and
// initial on its blue, drawn rather than shipped as a file.
HICON make_icon(int size);

}  // namespace vor3::win32
