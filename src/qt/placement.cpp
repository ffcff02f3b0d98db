#include "qt/placement.h"

#include <algorithm>

namespace vor3::qt {

QPoint centred_on(const QRect& area, const QSize& frame) {
    return {area.left() + std::max(0, (area.width() - frame.width()) / 2),
            area.top() + std::max(0, (area.height() - frame.height()) / 2)};
}

}  // namespace vor3::qt
