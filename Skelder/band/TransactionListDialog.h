#pragma once
#include "ResizableDialog.h"

#include <memory>
#include <string>
#include <string_view>

// The step list window: a resizable tool window whose two-column list
// control is the one store of the band's transaction. Row i is step i + 1,
// column 0 its URL, column 1 its posted data.
//
// The window outlives the toolbar that opened it: once created it keeps its
// object alive until the window itself is destroyed (with the other windows
// of its thread). Closing it only hides it.
class TransactionListDialog : public ResizableDialog, public std::enable_shared_from_this<TransactionListDialog> {
public:
    TransactionListDialog();

    // Creates the window, places it up and to the left of the top-level
    // window that contains toolbarWindow, and shows it. The object must be
    // owned by a shared_ptr. False when the window could not be created.
    bool Create(HWND toolbarWindow);

    // The transaction. Until the list's columns exist (and after the window
    // is gone) the transaction is empty and cannot change.
    void AddStep(std::string_view url, std::string_view postedData);
    unsigned GetStepCount() const;
    // Leaves both outputs as they are for a position at or past the count.
    void GetStep(unsigned position, std::string& url, std::string& postedData) const;
    void ClearSteps();

    bool IsListReady() const { return listReady; }
    HWND List() const { return list; }

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    bool DoDataExchange(bool saving) override;
    void OnFinalMessage() override;

private:
    void FitColumns();
    void FillSecondColumn();
    bool ReadCell(int row, int column, std::string& text) const;

    HWND list = nullptr;  // control 207, owned by the dialog window
    bool listReady = false;
    std::shared_ptr<TransactionListDialog> keepAlive;
};
