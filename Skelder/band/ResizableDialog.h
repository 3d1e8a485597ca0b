#pragma once
#include "Dialog.h"

#include <cstdint>
#include <vector>

// A dialog whose registered controls follow its right and bottom edges, and
// which cannot be dragged smaller than it was created.
class ResizableDialog : public Dialog {
public:
    explicit ResizableDialog(UINT templateId) : Dialog(templateId) {}

    // flags: Anchor::kMoveRight, kMoveDown, kStretchRight, kStretchDown; 0 is ignored.
    void AddAnchor(UINT controlId, unsigned flags);

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

    std::vector<std::uint32_t> anchors;
    SIZE minTrackSize{0, 0};
    SIZE lastSize{0, 0};

private:
    void OnSize(UINT type, int cx, int cy);
};
