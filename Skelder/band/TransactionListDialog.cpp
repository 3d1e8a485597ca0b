#include "TransactionListDialog.h"

#include "CaptureRules.h"
#include "DialogLayout.h"
#include "Module.h"
#include "resource.h"

#include <commctrl.h>

#include <vector>

TransactionListDialog::TransactionListDialog() : ResizableDialog(IDD_TRANSACTION_LIST) {}

bool TransactionListDialog::Create(HWND toolbarWindow) {
    if (Handle()) return false;
    InitRecorderControls();
    keepAlive = shared_from_this();
    if (!CreateModeless(nullptr)) {
        keepAlive.reset();
        return false;
    }

    HWND frame = toolbarWindow;
    for (HWND parent = frame ? GetParent(frame) : nullptr; parent; parent = GetParent(parent)) frame = parent;
    RECT frameRect{};
    if (frame && GetWindowRect(frame, &frameRect)) {
        const LayoutPoint at = StepListPosition(frameRect.left, frameRect.top);
        SetWindowPos(Handle(), HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOOWNERZORDER);
    }

    AddAnchor(IDC_STEP_LIST, Anchor::kStretchRight | Anchor::kStretchDown);
    ShowWindow(Handle(), SW_SHOWNORMAL);
    return true;
}

BOOL TransactionListDialog::OnInitDialog() {
    ResizableDialog::OnInitDialog();
    // The list keeps the focus where the dialog manager found it.
    return FALSE;
}

bool TransactionListDialog::DoDataExchange(bool saving) {
    if (saving) return true;
    list = GetDlgItem(Handle(), IDC_STEP_LIST);
    if (!list) return false;

    RECT client{};
    GetClientRect(list, &client);
    const int half = client.right / 2;
    static const char* const headings[] = {"URL", "POST Data"};
    for (int column = 0; column < 2; ++column) {
        LVCOLUMNA info{};
        info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        info.fmt = LVCFMT_LEFT;
        info.cx = half;
        info.pszText = const_cast<char*>(headings[column]);
        info.iSubItem = column;
        if (SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&info)) != column) return false;
    }
    listReady = true;
    return true;
}

void TransactionListDialog::OnFinalMessage() {
    list = nullptr;
    listReady = false;
    // Last: this may be the final reference.
    std::shared_ptr<TransactionListDialog> self = std::move(keepAlive);
}

INT_PTR TransactionListDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: {
        const INT_PTR result = ResizableDialog::DialogProc(message, wParam, lParam);
        if (list) FitColumns();
        return result;
    }
    case WM_NOTIFY: {
        const INT_PTR result = ResizableDialog::DialogProc(message, wParam, lParam);
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (list && header && header->idFrom == IDC_STEP_LIST) FillSecondColumn();
        return result;
    }
    case WM_DESTROY:
        // The list goes with the window; from now on the transaction is empty.
        list = nullptr;
        listReady = false;
        return ResizableDialog::DialogProc(message, wParam, lParam);
    default:
        return ResizableDialog::DialogProc(message, wParam, lParam);
    }
}

void TransactionListDialog::FitColumns() {
    const ColumnWidths current{static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0)),
                               static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0))};
    RECT client{};
    GetClientRect(list, &client);
    const ColumnWidths fitted = ProportionalColumns(current, client.right);
    if (fitted == current) return;
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(fitted.first, 0));
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(fitted.second, 0));
}

void TransactionListDialog::FillSecondColumn() {
    const ColumnWidths current{static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0)),
                               static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0))};
    RECT client{};
    GetClientRect(list, &client);
    if (const std::optional<int> rest = SecondColumnFill(current, client.right)) {
        SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(*rest, 0));
    }
}

void TransactionListDialog::AddStep(std::string_view url, std::string_view postedData) {
    if (!listReady) return;
    try {
        const std::string urlText(url.substr(0, url.find('\0')));
        const std::string postedText(StoredPostedData(postedData));

        const int row = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<char*>(urlText.c_str());
        const int inserted = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (inserted < 0) return;

        LVITEMA cell{};
        cell.iSubItem = 1;
        cell.pszText = const_cast<char*>(postedText.c_str());
        SendMessageA(list, LVM_SETITEMTEXTA, inserted, reinterpret_cast<LPARAM>(&cell));
    } catch (...) {
        // Out of memory: the step is lost, as one the list refused would be.
    }
}

unsigned TransactionListDialog::GetStepCount() const {
    if (!listReady) return 0;
    return static_cast<unsigned>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

void TransactionListDialog::GetStep(unsigned position, std::string& url, std::string& postedData) const {
    if (position >= GetStepCount()) return;
    try {
        std::string readUrl, readPosted;
        const int row = static_cast<int>(position);
        if (!ReadCell(row, 0, readUrl) || !ReadCell(row, 1, readPosted)) return;
        url.swap(readUrl);
        postedData.swap(readPosted);
    } catch (...) {
        // Out of memory: the outputs stay as they were.
    }
}

bool TransactionListDialog::ReadCell(int row, int column, std::string& text) const {
    // The list cannot say how long a text is: read into a buffer that grows
    // until the text leaves room to spare.
    std::vector<char> buffer(256);
    for (;;) {
        LVITEMA cell{};
        cell.iSubItem = column;
        cell.pszText = buffer.data();
        cell.cchTextMax = static_cast<int>(buffer.size());
        buffer[0] = '\0';
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
        buffer.back() = '\0';
        const std::size_t length = std::char_traits<char>::length(cell.pszText);
        if (length + 1 < buffer.size()) {
            text.assign(cell.pszText, length);
            return true;
        }
        if (buffer.size() > (std::size_t{1} << 30)) return false;
        buffer.resize(buffer.size() * 2);
    }
}

void TransactionListDialog::ClearSteps() {
    if (!listReady) return;
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
}
