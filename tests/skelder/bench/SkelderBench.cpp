// Prints what the transaction's operations cost on the real list control of a
// shown step list window: AddStep and GetStepCount at 10, 1,000 and 100,000
// steps (the toolbar asks the count on every 333 ms tick), and reading every
// step of a 10,000-step transaction with GetStep.
#include "TransactionListDialog.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

class Clock {
public:
    Clock() { QueryPerformanceFrequency(&frequency); }
    double Now() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER frequency{};
};

std::string Url(unsigned i) {
    return "http://www.example.com/shop/catalogue/item.jsp?id=" + std::to_string(i) + "&view=full";
}

// Every other step is a form post with about a hundred bytes of data.
std::string Posted(unsigned i) {
    return (i % 2) ? "user=someone%40example.com&item=" + std::to_string(i) + "&quantity=2&note=gift+wrapped+please"
                   : std::string();
}

void FillTo(TransactionListDialog& steps, unsigned count) {
    for (unsigned i = steps.GetStepCount(); i < count; ++i) steps.AddStep(Url(i), Posted(i));
}

void PumpPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// Brings the transaction to exactly count steps: adds, or takes rows off the end.
void SetCount(TransactionListDialog& steps, unsigned count) {
    FillTo(steps, count);
    for (unsigned n = steps.GetStepCount(); n > count; --n) SendMessageA(steps.List(), LVM_DELETEITEM, n - 1, 0);
}

// Mean seconds of one AddStep made while the transaction holds about `size`
// steps: `calls` calls in rounds of at most a hundred, each round taking the
// transaction from size - round up to size.
double AddStepCost(TransactionListDialog& steps, const Clock& clock, unsigned size, unsigned calls) {
    const unsigned round = size / 10 == 0 ? 1 : (size / 10 < 100 ? size / 10 : 100);
    double seconds = 0;
    for (unsigned timed = 0; timed < calls; timed += round) {
        SetCount(steps, size - round);
        PumpPending();
        const double start = clock.Now();
        FillTo(steps, size);
        seconds += clock.Now() - start;
    }
    PumpPending();
    return seconds / ((calls + round - 1) / round * round);
}

}  // namespace

int main() {
    auto steps = std::make_shared<TransactionListDialog>();
    if (!steps->Create(nullptr)) {
        std::fprintf(stderr, "the step list window could not be created\n");
        return 1;
    }
    HWND window = steps->Handle();
    PumpPending();
    const Clock clock;

    std::printf("%-8s %22s %22s %20s\n", "steps", "AddStep shown (us)", "AddStep hidden (us)", "GetStepCount (ns)");
    for (const unsigned size : {10u, 1000u, 100000u}) {
        // The hidden list is filled first: a shown one repaints after every row.
        ShowWindow(window, SW_HIDE);
        const double hidden = AddStepCost(*steps, clock, size, 1000);
        ShowWindow(window, SW_SHOWNORMAL);
        const double shown = AddStepCost(*steps, clock, size, 200);

        constexpr int kCountCalls = 200000;
        unsigned sink = 0;
        const double start = clock.Now();
        for (int i = 0; i < kCountCalls; ++i) sink += steps->GetStepCount();
        const double countSeconds = clock.Now() - start;
        if (sink != static_cast<unsigned>(kCountCalls) * size) {
            std::fprintf(stderr, "the count was not %u\n", size);
            return 1;
        }
        std::printf("%-8u %22.1f %22.1f %20.0f\n", size, shown * 1e6, hidden * 1e6, countSeconds / kCountCalls * 1e9);
        std::fflush(stdout);
    }

    constexpr unsigned kReadSteps = 10000;
    ShowWindow(window, SW_HIDE);
    steps->ClearSteps();
    FillTo(*steps, kReadSteps);
    ShowWindow(window, SW_SHOWNORMAL);
    PumpPending();
    std::string url, posted;
    std::size_t bytes = 0;
    const double start = clock.Now();
    for (unsigned i = 0; i < kReadSteps; ++i) {
        steps->GetStep(i, url, posted);
        bytes += url.size() + posted.size();
    }
    const double readSeconds = clock.Now() - start;
    if (url != Url(kReadSteps - 1) || posted != Posted(kReadSteps - 1)) {
        std::fprintf(stderr, "the last step read back wrong\n");
        return 1;
    }
    std::printf("GetStep over all %u steps: %.1f ms (%.1f us a step, %zu bytes)\n", kReadSteps, readSeconds * 1e3,
                readSeconds / kReadSteps * 1e6, bytes);

    DestroyWindow(window);
    return 0;
}
