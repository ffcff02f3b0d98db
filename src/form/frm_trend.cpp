#include "form/frm_trend.h"

#include "model/captions.h"

namespace vor3::form {

void TrendChart::add(const TrendPoint& point) {
    points_.push_back(point);
    while (points_.front().at_ms < point.at_ms - kKeepMs || points_.size() > kCapacity) points_.pop_front();
    notify();
}

void TrendChart::set_captions(const std::array<std::string, 3>& series, const std::array<std::string, 3>& axes) {
    if (series == series_ && axes == axes_) return;
    series_ = series;
    axes_ = axes;
    notify();
}

FrmTrend::FrmTrend() {
    using model::Caption;
    set_visible(false);
    set_caption(model::caption_de(Caption::frmTrend));
    cht_trend.set_parent(this);
    chk_log.set_parent(this);
    chk_log.set_caption(model::caption_de(Caption::chk_log));
    lbl_log_file.set_parent(this);
}

}  // namespace vor3::form
