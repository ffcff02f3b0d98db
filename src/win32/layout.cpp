#include "win32/layout.h"

#include <algorithm>

namespace vor3::win32::layout {

namespace {

void move(HWND window, int x, int y, int w, int h) {
    SetWindowPos(window, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

class ControlItem : public Item {
public:
    ControlItem(std::vector<HWND> windows, Size size, int drop, bool centred)
        : windows_(std::move(windows)), size_(size), drop_(drop), centred_(centred) {}
    Size size() const override { return size_; }
    void place(int x, int y, int w, int h) override {
        const int left = centred_ ? x + (w - size_.w) / 2 : x;
        const int top = y + (h - size_.h) / 2;
        for (HWND window : windows_) move(window, left, top, size_.w, size_.h + drop_);
    }

private:
    std::vector<HWND> windows_;
    Size size_;
    int drop_;
    bool centred_;
};

class FillingItem : public Item {
public:
    FillingItem(HWND window, int height) : window_(window), height_(height) { fill_width = true; }
    Size size() const override { return {0, height_}; }
    void place(int x, int y, int w, int h) override { move(window_, x, y + (h - height_) / 2, w, height_); }

private:
    HWND window_;
    int height_;
};

class Space : public Item {
public:
    explicit Space(Size size) : size_(size) {}
    Size size() const override { return size_; }
    void place(int, int, int, int) override {}

private:
    Size size_;
};

class Margins : public Item {
public:
    Margins(ItemPtr inner, int l, int t, int r, int b) : inner_(std::move(inner)), l_(l), t_(t), r_(r), b_(b) {
        fill_width = inner_->fill_width;
        fill_height = inner_->fill_height;
    }
    Size size() const override {
        const Size s = inner_->size();
        return {s.w + l_ + r_, s.h + t_ + b_};
    }
    void place(int x, int y, int w, int h) override { inner_->place(x + l_, y + t_, w - l_ - r_, h - t_ - b_); }

private:
    ItemPtr inner_;
    int l_, t_, r_, b_;
};

}  // namespace

ItemPtr control(HWND window, Size size, int drop, bool centred) {
    return std::make_unique<ControlItem>(std::vector<HWND>{window}, size, drop, centred);
}

ItemPtr stacked(std::vector<HWND> windows, Size size) {
    return std::make_unique<ControlItem>(std::move(windows), size, 0, false);
}

ItemPtr space(Size size) { return std::make_unique<Space>(size); }

ItemPtr filling(HWND window, int height) { return std::make_unique<FillingItem>(window, height); }

ItemPtr margins(ItemPtr inner, int left, int top, int right, int bottom) {
    return std::make_unique<Margins>(std::move(inner), left, top, right, bottom);
}

std::unique_ptr<Line> row(int spacing) {
    auto line = std::make_unique<Line>(true, spacing);
    line->fill_width = true;
    return line;
}

std::unique_ptr<Line> column(int spacing) {
    auto line = std::make_unique<Line>(false, spacing);
    line->fill_width = true;
    return line;
}

Line& Line::add(ItemPtr item) {
    items_.push_back(std::move(item));
    return *this;
}

Line& Line::stretch() {
    stretch_at_ = static_cast<int>(items_.size());
    return *this;
}

Line& Line::grow() {
    grow_at_ = static_cast<int>(items_.size());
    return *this;
}

Size Line::size() const {
    Size total;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const Size s = items_[i]->size();
        if (across_) {
            total.w += s.w + (i ? spacing_ : 0);
            total.h = std::max(total.h, s.h);
        } else {
            total.h += s.h + (i ? spacing_ : 0);
            total.w = std::max(total.w, s.w);
        }
    }
    return total;
}

void Line::place(int x, int y, int w, int h) {
    const Size need = size();
    int spare = across_ ? w - need.w : h - need.h;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (static_cast<int>(i) == stretch_at_ && spare > 0) {
            (across_ ? x : y) += spare;
            spare = 0;
        }
        Item& item = *items_[i];
        Size s = item.size();
        if (static_cast<int>(i) == grow_at_ && spare > 0) {
            (across_ ? s.w : s.h) += spare;
            spare = 0;
        }
        if (across_) {
            item.place(x, y, s.w, item.fill_height ? h : std::max(s.h, h));
            x += s.w + spacing_;
        } else {
            item.place(x, y, item.fill_width ? w : s.w, s.h);
            y += s.h + spacing_;
        }
    }
}

Grid& Grid::add(int row, int column, ItemPtr item, int span) {
    cells_.push_back({row, column, span, std::move(item)});
    return *this;
}

void Grid::measure(std::vector<int>& widths, std::vector<int>& heights) const {
    for (const Cell& c : cells_) {
        if (static_cast<int>(heights.size()) <= c.row) heights.resize(static_cast<std::size_t>(c.row) + 1);
        if (static_cast<int>(widths.size()) < c.column + c.span)
            widths.resize(static_cast<std::size_t>(c.column + c.span));
        const Size s = c.item->size();
        auto& height = heights[static_cast<std::size_t>(c.row)];
        height = std::max(height, s.h);
        if (c.span == 1) {
            auto& width = widths[static_cast<std::size_t>(c.column)];
            width = std::max(width, s.w);
        }
    }
    // A spanning cell widens the last column it covers where it needs to.
    for (const Cell& c : cells_) {
        if (c.span == 1) continue;
        int have = hs_ * (c.span - 1);
        for (int i = 0; i < c.span; ++i) have += widths[static_cast<std::size_t>(c.column + i)];
        const int need = c.item->size().w;
        if (need > have) widths[static_cast<std::size_t>(c.column + c.span - 1)] += need - have;
    }
}

Size Grid::size() const {
    std::vector<int> widths, heights;
    measure(widths, heights);
    Size s;
    for (std::size_t i = 0; i < widths.size(); ++i) s.w += widths[i] + (i ? hs_ : 0);
    for (std::size_t i = 0; i < heights.size(); ++i) s.h += heights[i] + (i ? vs_ : 0);
    return s;
}

void Grid::place(int x, int y, int, int) {
    std::vector<int> widths, heights;
    measure(widths, heights);
    std::vector<int> xs(widths.size() + 1, x), ys(heights.size() + 1, y);
    for (std::size_t i = 0; i < widths.size(); ++i) xs[i + 1] = xs[i] + widths[i] + hs_;
    for (std::size_t i = 0; i < heights.size(); ++i) ys[i + 1] = ys[i] + heights[i] + vs_;
    for (Cell& c : cells_) {
        const auto col = static_cast<std::size_t>(c.column), r = static_cast<std::size_t>(c.row);
        const int w = xs[col + static_cast<std::size_t>(c.span)] - xs[col] - hs_;
        c.item->place(xs[col], ys[r], w, heights[r]);
    }
}

Frame::Frame(HWND box, ItemPtr inner, int top, int margin)
    : box_(box), inner_(std::move(inner)), top_(top), margin_(margin) {
    fill_width = true;
}

Size Frame::size() const {
    const Size s = inner_->size();
    return {s.w + 2 * margin_, s.h + top_ + margin_};
}

void Frame::place(int x, int y, int w, int h) {
    move(box_, x, y, w, h);
    inner_->place(x + margin_, y + top_, w - 2 * margin_, h - top_ - margin_);
}

}  // namespace vor3::win32::layout
