// Capture cost: BeforeNavigate2 events fired into a recording band, half of
// them URL-encoded posts of 32 KB. Prints events per second and the
// process's working set before and after.
#include "HostMain.h"
#include "HostedBand.h"

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

SIZE_T WorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

}  // namespace

int main(int argc, char** argv) {
    if (!SetSkelderPath(argc, argv)) {
        std::fprintf(stderr, "usage: %s --skelder=PATH_TO_Skelder.dll\n", argv[0]);
        return 2;
    }
    constexpr int kEvents = 100000;
    // The transaction is cleared after every batch: 50,000 bodies of 32 KB
    // would not fit a 32-bit process.
    constexpr int kBatch = 1000;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) || RunRegsvr32(Regsvr32::Register) != 0) {
        std::fprintf(stderr, "could not register Skelder.dll\n");
        return 1;
    }
    int result = 0;
    {
        HostedBand host;
        if (FAILED(host.Open())) {
            std::fprintf(stderr, "could not site the band\n");
            result = 1;
        } else {
            if (!host.Record()) result = 1;
            std::string body(32768, 'v');
            for (std::size_t i = 0; i < body.size(); i += 16) body[i] = '&';
            // The events are built once; firing them is what is measured.
            BeforeNavigate2 link(L"http://www.example.com/catalogue/item?id=1234&view=full");
            BeforeNavigate2 post(L"https://www.example.com/checkout/submit");
            post.Headers(kUrlEncoded).Body(body);

            const SIZE_T before = WorkingSet();
            std::size_t steps = 0;
            double seconds = 0;  // firing only: the Clear between batches waits for the toolbar's tick
            for (int batch = 0; batch < kEvents / kBatch; ++batch) {
                const auto start = std::chrono::steady_clock::now();
                for (int i = 0; i < kBatch; ++i) Fire(*host.browser.Get(), i % 2 ? post : link);
                seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                steps += StepCount(FindStepList());
                if (!host.Clear()) {
                    std::fprintf(stderr, "Clear never became available\n");
                    result = 1;
                    break;
                }
            }
            const SIZE_T after = WorkingSet();
            std::printf("%s: %d BeforeNavigate2 events (%d with 32768 bytes posted), cleared every %d\n",
                        sizeof(void*) == 8 ? "x64" : "x86", kEvents, kEvents / 2, kBatch);
            std::printf("steps recorded: %zu\n", steps);
            std::printf("time: %.2f s, %.0f events/s\n", seconds, kEvents / seconds);
            std::printf("working set before: %.1f MB, after: %.1f MB\n", before / 1048576.0, after / 1048576.0);
            if (steps != static_cast<std::size_t>(kEvents)) result = 1;
        }
    }
    if (RunRegsvr32(Regsvr32::Unregister) != 0) result = 1;
    CoUninitialize();
    return result;
}
