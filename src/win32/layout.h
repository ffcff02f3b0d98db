#pragma once
#include "win32/windows_api.h"

#include <memory>
#include <vector>

namespace vor3::win32::layout {

struct Size {
    int w = 0, h = 0;
};

// Something with a size of its own that is placed in a rectangle of at
// least that size. Windows has no layouts; these few place the view's
// controls once, after they are measured in both languages.
class Item {
public:
    virtual ~Item() = default;
    virtual Size size() const = 0;
    virtual void place(int x, int y, int w, int h) = 0;
    // Takes the whole width (height) it is given, as a frame does.
    bool fill_width = false;
    bool fill_height = false;
};
using ItemPtr = std::unique_ptr<Item>;

// A control of a fixed size, at the left of its cell and centred in its
// height (or centred both ways). `drop` is the height of a drop-down
// list's open part, which the window's height includes.
ItemPtr control(HWND window, Size size, int drop = 0, bool centred = false);
// Several controls in one place: only one of them shows at a time.
ItemPtr stacked(std::vector<HWND> windows, Size size);
// Room and nothing else.
ItemPtr space(Size size);
// A control that asks for no width and takes the width it is given, at
// `height` (a line of text that must not widen the window).
ItemPtr filling(HWND window, int height);

// Items side by side (or one below the other); `stretch_after` marks the
// item after which spare room goes (-1: none, at the end).
class Line : public Item {
public:
    Line(bool across, int spacing) : across_(across), spacing_(spacing) {}
    Line& add(ItemPtr item);
    // Spare room goes here.
    Line& stretch();
    // Spare room goes to the item added next.
    Line& grow();
    Size size() const override;
    void place(int x, int y, int w, int h) override;

private:
    bool across_;
    int spacing_;
    std::vector<ItemPtr> items_;
    int stretch_at_ = -1;
    int grow_at_ = -1;
};
std::unique_ptr<Line> row(int spacing);
std::unique_ptr<Line> column(int spacing);

// Cells in rows and columns; a cell may span columns.
class Grid : public Item {
public:
    Grid(int h_spacing, int v_spacing) : hs_(h_spacing), vs_(v_spacing) {}
    Grid& add(int row, int column, ItemPtr item, int span = 1);
    Size size() const override;
    void place(int x, int y, int w, int h) override;

private:
    struct Cell {
        int row, column, span;
        ItemPtr item;
    };
    void measure(std::vector<int>& widths, std::vector<int>& heights) const;
    int hs_, vs_;
    std::vector<Cell> cells_;
};

// A group box around an item: `top` is the room its title takes.
class Frame : public Item {
public:
    Frame(HWND box, ItemPtr inner, int top, int margin);
    Size size() const override;
    void place(int x, int y, int w, int h) override;

private:
    HWND box_;
    ItemPtr inner_;
    int top_, margin_;
};

// Margins around an item.
ItemPtr margins(ItemPtr inner, int left, int top, int right, int bottom);

}  // namespace vor3::win32::layout
