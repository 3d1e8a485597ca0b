// Capture cost: BeforeNavigate2 events fired into a recording band, half of
// them URL-encoded posts of 32 KB. Prints events per second and the
// process's working set before and after.
#include "HostMain.h"
#include "HostedBand.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The transaction is cleared after every batch: 50,000 bodies of 32 KB would
// not fit a 32-bit process.
constexpr int kBatch = 1000;

double Megabytes(SIZE_T bytes) {
    return bytes / 1048576.0;
}

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

SIZE_T WorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

struct Phase {
    const char* name;
    int events;
    bool stepListShown;
};

// Fires the events, link and post in turn, and clears the steps after every
// batch; only the firing is timed. False when the steps were not all recorded.
bool Run(HostedBand& host, BeforeNavigate2& link, BeforeNavigate2& post, const Phase& phase, bool recording) {
    HWND stepList = FindStepList();
    ShowWindow(stepList, phase.stepListShown ? SW_SHOWNORMAL : SW_HIDE);
    std::size_t steps = 0;
    double seconds = 0;
    for (int done = 0; done < phase.events; done += kBatch) {
        const int count = phase.events - done < kBatch ? phase.events - done : kBatch;
        const double start = Now();
        for (int i = 0; i < count; ++i) Fire(*host.browser.Get(), i % 2 ? post : link);
        seconds += Now() - start;
        const std::size_t recorded = StepCount(stepList);
        steps += recorded;
        if (recorded > 0 && !host.Clear()) return false;
    }
    std::printf("  %-44s %7d events in %7.2f s: %9.0f events/s, %d steps\n", phase.name, phase.events, seconds,
                phase.events / seconds, static_cast<int>(steps));
    return steps == (recording ? static_cast<std::size_t>(phase.events) : 0u);
}

}  // namespace

int main(int argc, char** argv) {
    if (!SetSkelderPath(argc, argv)) {
        std::fprintf(stderr, "usage: %s --skelder=PATH_TO_Skelder.dll [--events=N]\n", argv[0]);
        return 2;
    }
    int events = 100000;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--events=", 9) == 0) events = std::atoi(argv[i] + 9);
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) || RunRegsvr32(Regsvr32::Register) != 0) {
        std::fprintf(stderr, "could not register Skelder.dll\n");
        return 1;
    }
    bool ok = true;
    {
        HostedBand host;
        ok = SUCCEEDED(host.Open()) && host.Record();
        if (ok) {
            std::string body(32768, 'v');
            for (std::size_t i = 0; i < body.size(); i += 16) body[i] = '&';
            // Built once: firing them is what is measured.
            BeforeNavigate2 link(L"http://www.example.com/catalogue/item?id=1234&view=full");
            BeforeNavigate2 post(L"https://www.example.com/checkout/submit");
            post.Headers(kUrlEncoded).Body(body);

            std::printf("%s, half of the events URL-encoded posts of 32768 bytes, steps cleared every %d:\n",
                        sizeof(void*) == 8 ? "x64" : "x86", kBatch);
            const SIZE_T before = WorkingSet();
            // Closing the step list window only hides it; recording goes on.
            ok = Run(host, link, post, {"recording, step list window closed", events, false}, true);
            const SIZE_T after = WorkingSet();
            // Wine's list view repaints on every insertion while it is shown: far fewer events.
            ok = ok && Run(host, link, post, {"recording, step list window shown", events / 50, true}, true);
            ok = ok && host.Stop();
            ok = ok && Run(host, link, post, {"not recording (conversion and filter only)", events, false}, false);
            std::printf("  working set before: %.1f MB, after the first %d events: %.1f MB, at the end: %.1f MB\n",
                        Megabytes(before), events, Megabytes(after), Megabytes(WorkingSet()));
        }
        if (!ok) std::fprintf(stderr, "the band did not record as expected\n");
    }
    if (RunRegsvr32(Regsvr32::Unregister) != 0) ok = false;
    CoUninitialize();
    return ok ? 0 : 1;
}
