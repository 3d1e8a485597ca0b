#pragma once
// A helper thread that plays the user while the test's thread sits in a modal
// loop (a menu, a modal dialog): it finds windows, reads them and presses
// their buttons. It asserts nothing itself; the test checks what it saw.
#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

class ModalHelper {
public:
    explicit ModalHelper(std::function<void()> script) : worker([this, script] {
        script();
        finished = true;
    }) {}
    ~ModalHelper() { Join(); }
    void Join() {
        if (worker.joinable()) worker.join();
    }
    bool Finished() const { return finished; }

private:
    std::atomic<bool> finished{false};
    std::thread worker;
};
