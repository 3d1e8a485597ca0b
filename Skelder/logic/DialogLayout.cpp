#include "DialogLayout.h"

LayoutRect MoveAnchored(const LayoutRect& control, unsigned flags, int dx, int dy) {
    LayoutRect moved = control;
    if (flags & Anchor::kStretchRight) {
        moved.right += dx;
    } else if (flags & Anchor::kMoveRight) {
        moved.left += dx;
        moved.right += dx;
    }
    if (flags & Anchor::kStretchDown) {
        moved.bottom += dy;
    } else if (flags & Anchor::kMoveDown) {
        moved.top += dy;
        moved.bottom += dy;
    }
    return moved;
}

ColumnWidths ProportionalColumns(const ColumnWidths& current, int clientWidth) {
    // Zero total would divide by zero; a negative width is not one the list reports.
    if (current.first < 0 || current.second < 0 || clientWidth < 0) return current;
    const float total = static_cast<float>(current.first) + static_cast<float>(current.second);
    if (total <= 0.0f) return current;
    const float width = static_cast<float>(clientWidth);
    // Each share is at most clientWidth, so the conversion back cannot overflow.
    return ColumnWidths{static_cast<int>(width * static_cast<float>(current.first) / total),
                        static_cast<int>(width * static_cast<float>(current.second) / total)};
}

std::optional<int> SecondColumnFill(const ColumnWidths& current, int clientWidth) {
    int rest = clientWidth - current.first;
    // The list reads negative widths as "fit to content" requests.
    if (rest < 0) rest = 0;
    if (rest == current.second) return std::nullopt;
    return rest;
}

LayoutPoint StepListPosition(int frameLeft, int frameTop) {
    LayoutPoint at{frameLeft - 150, frameTop - 40};
    if (at.x < 0) at.x = 0;
    if (at.y < 0) at.y = 0;
    return at;
}
