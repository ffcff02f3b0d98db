#include "win32/placement.h"

#include <algorithm>

namespace vor3::win32 {

POINT centred_on(const RECT& area, SIZE size) {
    return {area.left + std::max<LONG>(0, (area.right - area.left - size.cx) / 2),
            area.top + std::max<LONG>(0, (area.bottom - area.top - size.cy) / 2)};
}

RECT work_area(HWND window) {
    HMONITOR monitor = window ? MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY)
                              : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    return info.rcWork;
}

void paint_logo(HDC dc, const RECT& r, const Fonts& fonts) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    TRIVERTEX corners[2] = {{r.left, r.top, 0x1f00, 0x6f00, 0xa800, 0}, {r.right, r.bottom, 0x0d00, 0x3b00, 0x6600, 0}};
    GRADIENT_RECT whole{0, 1};
    HRGN round = CreateRoundRectRgn(r.left, r.top, r.right + 1, r.bottom + 1, fonts.scale(14), fonts.scale(14));
    SelectClipRgn(dc, round);
    GradientFill(dc, corners, 2, &whole, 1, GRADIENT_FILL_RECT_V);
    SelectClipRgn(dc, nullptr);
    HBRUSH edge = CreateSolidBrush(RGB(0x0a, 0x2c, 0x4d));
    FrameRgn(dc, round, edge, 1, 1);
    DeleteObject(edge);
    DeleteObject(round);

    const COLORREF green = RGB(0x9f, 0xe0, 0x6a);
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND, static_cast<DWORD>(fonts.scale(2)),
                            &static_cast<const LOGBRUSH&>(LOGBRUSH{BS_SOLID, green, 0}), 0, nullptr);
    const HGDIOBJ old_pen = SelectObject(dc, pen);
    const int cx = r.left + fonts.scale(16), cy = r.top + h / 2;
    for (int i = 0, radius = fonts.scale(5); i < 3; ++i, radius += fonts.scale(4)) {
        // An arc of 100 degrees opening to the right.
        const int dx = MulDiv(radius, 64, 100), dy = MulDiv(radius, 77, 100);
        Arc(dc, cx - radius, cy - radius, cx + radius, cy + radius, cx + dx, cy + dy, cx + dx, cy - dy);
    }
    SelectObject(dc, old_pen);
    DeleteObject(pen);
    HBRUSH dot = CreateSolidBrush(green);
    const HGDIOBJ old_brush = SelectObject(dc, dot);
    const HGDIOBJ no_pen = SelectObject(dc, GetStockObject(NULL_PEN));
    const int d = fonts.scale(2);
    Ellipse(dc, cx - d, cy - d, cx + d + 1, cy + d + 1);
    SelectObject(dc, no_pen);
    SelectObject(dc, old_brush);
    DeleteObject(dot);

    LOGFONTW face{};
    face.lfHeight = -fonts.scale(19);
    face.lfWeight = FW_BOLD;
    face.lfQuality = CLEARTYPE_QUALITY;
    wcscpy(face.lfFaceName, L"Segoe UI");
    HFONT font = CreateFontIndirectW(&face);
    const HGDIOBJ old_font = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT text{r.left + fonts.scale(36), r.top, r.left + w - fonts.scale(6), r.bottom};
    DrawTextW(dc, L"Vadivoz", -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    SelectObject(dc, old_font);
    DeleteObject(font);
}

}  // namespace vor3::win32
