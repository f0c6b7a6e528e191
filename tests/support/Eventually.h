#pragma once
// Playback and servers run in real time: tests wait for a state, never for a
// fixed time. `eventually` polls `done` until it holds or a generous bound passes.

#include <chrono>
#include <functional>
#include <thread>

namespace testsupport {

inline bool eventually(const std::function<bool()>& done,
                       std::chrono::milliseconds bound = std::chrono::seconds(30)) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < deadline) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

} // namespace testsupport
