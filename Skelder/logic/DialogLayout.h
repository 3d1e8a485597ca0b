#pragma once
#include <cstdint>
#include <optional>

// Arithmetic of the step list window: how anchored controls follow the
// window's edges, how the two list columns share the width, and where the
// window is first placed.

struct LayoutRect {
    int left;
    int top;
    int right;
    int bottom;
    bool operator==(const LayoutRect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

struct LayoutPoint {
    int x;
    int y;
    bool operator==(const LayoutPoint& other) const { return x == other.x && y == other.y; }
};

namespace Anchor {
constexpr unsigned kMoveRight = 0x1;
constexpr unsigned kMoveDown = 0x2;
constexpr unsigned kStretchRight = 0x4;  // wins over kMoveRight
constexpr unsigned kStretchDown = 0x8;   // wins over kMoveDown

// An anchor entry: the control id in the low 16 bits, the flags in the high 16.
constexpr std::uint32_t Pack(unsigned controlId, unsigned flags) {
    return (static_cast<std::uint32_t>(flags & 0xFFFFu) << 16) | (controlId & 0xFFFFu);
}
constexpr unsigned ControlId(std::uint32_t entry) { return entry & 0xFFFFu; }
constexpr unsigned Flags(std::uint32_t entry) { return entry >> 16; }
}  // namespace Anchor

// Where a control anchored with these flags goes when the client area grows by dx, dy.
LayoutRect MoveAnchored(const LayoutRect& control, unsigned flags, int dx, int dy);

struct ColumnWidths {
    int first;
    int second;
    bool operator==(const ColumnWidths& other) const { return first == other.first && second == other.second; }
};

// The two columns rescaled to fill clientWidth in their present proportion,
// each truncated. Columns that are both zero wide (or nonsense) stay as they are.
ColumnWidths ProportionalColumns(const ColumnWidths& current, int clientWidth);

// The width the second column needs to fill the list to the right of the
// first, or nothing when it already does. Never negative: when the first
// column alone is wider than the list, the second is made zero wide.
std::optional<int> SecondColumnFill(const ColumnWidths& current, int clientWidth);

// Top-left corner of a new step list window for a browser frame whose top-left
// corner is at (frameLeft, frameTop): up and to the left of it, kept on screen.
LayoutPoint StepListPosition(int frameLeft, int frameTop);
