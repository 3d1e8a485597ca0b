#pragma once
// A helper thread that plays the user while the test's thread sits in a modal
// loop (a menu, a modal dialog): it finds windows, reads them and presses
// their buttons. It asserts nothing itself; the test checks what it saw.
#include <windows.h>

#include <functional>
#include <thread>

class UiProbe {
public:
    explicit UiProbe(std::function<void()> script) : worker([this, script] {
        script();
        finished = true;
    }) {}
    ~UiProbe() { Join(); }
    void Join() {
        if (worker.joinable()) worker.join();
    }
    bool Finished() const { return finished; }

private:
    volatile bool finished = false;
    std::thread worker;
};
