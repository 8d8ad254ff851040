#include "ui/win32/Artwork.h"

#include <functional>

namespace dorvel::ui::win32 {
namespace {

constexpr COLORREF kTransparent = RGB(255, 0, 255);

void Polygon(HDC dc, COLORREF fill, COLORREF edge, std::initializer_list<POINT> points) {
    OwnedBrush brush(::CreateSolidBrush(fill));
    Owned<HPEN, GdiTraits> pen(::CreatePen(PS_SOLID, 1, edge));
    const HGDIOBJ oldBrush = ::SelectObject(dc, brush.get());
    const HGDIOBJ oldPen = ::SelectObject(dc, pen.get());
    ::Polygon(dc, points.begin(), static_cast<int>(points.size()));
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
}

void Line(HDC dc, COLORREF colour, int width, POINT from, POINT to) {
    Owned<HPEN, GdiTraits> pen(::CreatePen(PS_SOLID, width, colour));
    const HGDIOBJ old = ::SelectObject(dc, pen.get());
    ::MoveToEx(dc, from.x, from.y, nullptr);
    ::LineTo(dc, to.x, to.y);
    ::SelectObject(dc, old);
}

void Envelope(HDC dc) {
    Polygon(dc, RGB(255, 255, 240), RGB(60, 60, 60), {{3, 8}, {28, 8}, {28, 26}, {3, 26}});
    Line(dc, RGB(60, 60, 60), 1, {3, 8}, {16, 18});
    Line(dc, RGB(60, 60, 60), 1, {28, 8}, {15, 18});
    Polygon(dc, RGB(0, 150, 0), RGB(0, 90, 0),
            {{18, 20}, {25, 20}, {25, 16}, {31, 23}, {25, 30}, {25, 26}, {18, 26}});
}

void Cross(HDC dc) {
    Line(dc, RGB(190, 0, 0), 5, {7, 7}, {25, 25});
    Line(dc, RGB(190, 0, 0), 5, {25, 7}, {7, 25});
}

void Gear(HDC dc) {
    // Eight teeth as four strokes through the centre, then the wheel.
    const POINT strokes[4][2] = {
        {{16, 3}, {16, 29}}, {{3, 16}, {29, 16}}, {{7, 7}, {25, 25}}, {{25, 7}, {7, 25}}};
    for (const auto& stroke : strokes) Line(dc, RGB(90, 90, 110), 5, stroke[0], stroke[1]);
    OwnedBrush brush(::CreateSolidBrush(RGB(150, 150, 170)));
    const HGDIOBJ old = ::SelectObject(dc, brush.get());
    ::Ellipse(dc, 8, 8, 25, 25);
    ::SelectObject(dc, old);
    OwnedBrush hole(::CreateSolidBrush(kTransparent));
    const HGDIOBJ old2 = ::SelectObject(dc, hole.get());
    ::Ellipse(dc, 13, 13, 20, 20);
    ::SelectObject(dc, old2);
}

void Folder(HDC dc) {
    Polygon(dc, RGB(230, 190, 60), RGB(140, 100, 20),
            {{3, 9}, {12, 9}, {14, 12}, {29, 12}, {29, 27}, {3, 27}});
    Polygon(dc, RGB(250, 215, 90), RGB(140, 100, 20), {{3, 15}, {29, 15}, {29, 27}, {3, 27}});
}

// Each picture drawn on the transparent colour into a list of 32 by 32.
OwnedImageList Pictures(int size, std::initializer_list<std::function<void(HDC)>> pictures) {
    OwnedImageList list(::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK,
                                           static_cast<int>(pictures.size()), 0));
    HDC screen = ::GetDC(nullptr);
    for (const auto& draw : pictures) {
        HDC dc = ::CreateCompatibleDC(screen);
        OwnedBitmap bitmap(::CreateCompatibleBitmap(screen, size, size));
        const HGDIOBJ old = ::SelectObject(dc, bitmap.get());
        RECT all{0, 0, size, size};
        OwnedBrush background(::CreateSolidBrush(kTransparent));
        ::FillRect(dc, &all, background.get());
        // The strokes are given on a grid of 32; GDI scales them, pen
        // widths included, to the size asked for.
        ::SetMapMode(dc, MM_ANISOTROPIC);
        ::SetWindowExtEx(dc, 32, 32, nullptr);
        ::SetViewportExtEx(dc, size, size, nullptr);
        draw(dc);
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
        ::ImageList_AddMasked(list.get(), bitmap.get(), kTransparent);
    }
    ::ReleaseDC(nullptr, screen);
    return list;
}

}  // namespace

OwnedImageList ToolBarImages(int size) { return Pictures(size, {Envelope, Cross, Gear, Folder}); }

OwnedIcon WindowIcon() {
    const OwnedImageList list = Pictures(32, {Envelope});
    return OwnedIcon(::ImageList_GetIcon(list.get(), 0, ILD_NORMAL));
}

}  // namespace dorvel::ui::win32
