#include "win32/placement.h"

#include <algorithm>
#include <cstdint>

namespace vor3::win32 {

form::Rect rect_of(const RECT& r) {
    return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right - r.left),
            static_cast<int>(r.bottom - r.top)};
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

HICON make_icon(int size) {
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = size;
    header.bV5Height = -size;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    HBITMAP color =
        CreateDIBSection(screen, reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(screen);
    const HGDIOBJ old = SelectObject(dc, color);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    std::fill(pixels, pixels + size * size, 0u);
    // The mark: a rounded blue square, the signal's arcs and a "V".
    const int corner = size / 4;
    HBRUSH blue = CreateSolidBrush(RGB(0x1f, 0x6f, 0xa8));
    HPEN edge = CreatePen(PS_SOLID, 1, RGB(0x0a, 0x2c, 0x4d));
    SelectObject(dc, blue);
    SelectObject(dc, edge);
    RoundRect(dc, 0, 0, size, size, corner, corner);
    HPEN green = CreatePen(PS_SOLID, std::max(1, size / 16), RGB(0x9f, 0xe0, 0x6a));
    SelectObject(dc, green);
    const int cx = size * 3 / 16, cy = size / 2;
    for (int i = 0, r = size / 10; i < 3; ++i, r += size / 12)
        Arc(dc, cx - r, cy - r, cx + r, cy + r, cx + r * 64 / 100, cy + r * 77 / 100, cx + r * 64 / 100,
            cy - r * 77 / 100);
    LOGFONTW face{};
    face.lfHeight = -size / 2;
    face.lfWeight = FW_BOLD;
    wcscpy(face.lfFaceName, L"Segoe UI");
    HFONT font = CreateFontIndirectW(&face);
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT text{size * 7 / 16, 0, size, size};
    DrawTextW(dc, L"V", 1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    GdiFlush();
    // GDI leaves alpha alone: whatever it drew is opaque.
    for (int i = 0; i < size * size; ++i)
        if (pixels[i]) pixels[i] |= 0xFF000000u;
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteObject(green);
    DeleteObject(edge);
    DeleteObject(blue);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    ICONINFO info{TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(color);
    return icon;
}

}  // namespace vor3::win32
