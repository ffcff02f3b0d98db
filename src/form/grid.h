#pragma once
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "form/controls.h"

namespace vor3::form {

// A table of text cells under column headers, of which the user selects
// any rows and double-clicks one.
class Grid : public Control {
public:
    using Control::Control;
    using Row = std::vector<std::string>;

    const std::vector<std::string>& headers() const { return headers_; }
    void set_headers(std::vector<std::string> headers) {
        headers_ = std::move(headers);
        notify();
    }

    const std::vector<Row>& rows() const { return rows_; }
    // New rows; a selection beyond the last row is dropped.
    void set_rows(std::vector<Row> rows) {
        rows_ = std::move(rows);
        std::erase_if(selected_, [this](int r) { return r >= static_cast<int>(rows_.size()); });
        notify();
    }
    void set_row(int row, Row cells) {
        if (row < 0 || row >= static_cast<int>(rows_.size())) return;
        rows_[static_cast<std::size_t>(row)] = std::move(cells);
        notify();
    }

    // The selected rows in ascending order.
    const std::vector<int>& selected() const { return selected_; }
    // A user's selection: raises on_select when it really changes.
    void select(std::vector<int> rows) {
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        std::erase_if(rows, [this](int r) { return r < 0 || r >= static_cast<int>(rows_.size()); });
        if (rows == selected_) return;
        selected_ = std::move(rows);
        notify();
        if (on_select) on_select(index());
    }
    // A user's double click on a row.
    void double_click(int row) {
        if (effectively_enabled() && on_double_click && row >= 0 && row < static_cast<int>(rows_.size()))
            on_double_click(row);
    }

    std::function<void(int)> on_select;
    std::function<void(int row)> on_double_click;

private:
    std::vector<std::string> headers_;
    std::vector<Row> rows_;
    std::vector<int> selected_;
};

}  // namespace vor3::form
