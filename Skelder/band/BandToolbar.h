#pragma once
#include "ToolBarCtrl.h"
#include "ToolTipCtrl.h"

#include <memory>
#include <string_view>

class TransactionListDialog;

// The band's window in the browser's toolbar area: the menu button and the
// Record, Stop, Clear and Save buttons, the recording state, and the step
// list window it opens. Its buttons' clicks and drop-down reach it through
// the parent it was created in, which hands them back (see Window).
class BandToolbar : public ToolBarCtrl {
public:
    BandToolbar();
    ~BandToolbar() override;

    // Creates the toolbar window inside parent. Non-zero on success.
    int Create(const RECT& rect, HWND parent);

    // A navigation the browser is about to make; recorded as a step while
    // recording when it is an http or https request.
    void CaptureNavigation(std::string_view url, std::string_view postedData);

    // The toolbar handles no accelerators: always S_FALSE.
    virtual HRESULT TranslateAcceleratorIO(const MSG* message);
    // Opens the menu below the menu button.
    virtual void OnDropDown(const NMTOOLBARA& notification);

    // Handles the toolbar's and the menu's commands; false for any other id.
    bool DispatchCommand(UINT id);

    void RecordCommand();
    void StopCommand();
    void ClearCommand();
    void AboutCommand();
    void SaveCommand();
    void OptionsCommand();
    void UpdateButtons();

    bool IsRecording() const { return recording == 1; }
    unsigned BlinkPhase() const { return blinkPhase; }
    // The step list window, once the first Record command made it.
    TransactionListDialog* StepList() const { return stepList.get(); }
    HWND ToolTip() const { return toolTip.Handle(); }

protected:
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnReflectedCommand(UINT id, UINT code) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    bool OnReflectedNotify(const NMHDR& header, LRESULT& result) override;
    bool OnTimer(UINT_PTR timerId) override;
    bool OnSize(UINT type, int cx, int cy) override;

private:
    void Tick();

    std::shared_ptr<TransactionListDialog> stepList;
    unsigned blinkPhase = 0;
    int recording = 0;
    ToolTipCtrl toolTip;
};
