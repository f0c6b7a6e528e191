// The main window's layout and mode switches without a display: the proportional
// layout of one resize (alternating between a wide and a narrow size, so every
// layout scales the regions and all their contents) and one switch to the floating
// video with the return to the main screen. Prints the medians.
//   bench_window_modes [ROUNDS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/Config.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/Services.h"
#include "app/WindowModes.h"
#include "ui/Application.h"

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class F> double microseconds(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    try {
        ui::Application app(ui::EventLoop::ClockKind::Virtual);
        app::Program program(app, app::Config(), ".", app::Services::real());
        auto& form = program.mainform();
        form.show();
        std::vector<double> resizes, switches;
        for (int i = 0; i < rounds; ++i) {
            const bool wide = i % 2 == 0;
            resizes.push_back(microseconds(
                [&] { app.dispatch([&] { form.resize(wide ? 1400 : 900, wide ? 800 : 900); }); }));
        }
        auto& modes = form.windowModes();
        for (int i = 0; i < rounds; ++i)
            switches.push_back(microseconds([&] {
                app.dispatch([&] {
                    modes.switchToFloat(false);
                    modes.returnToMainScreen(false);
                });
            }));
        std::printf("layout of one resize (every control of the three regions scaled): %.1f us "
                    "(median of %d)\n",
                    median(resizes), rounds);
        std::printf("switch to the floating video and back to the main screen: %.1f us "
                    "(median of %d)\n",
                    median(switches), rounds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_window_modes: %s\n", e.what());
        return 1;
    }
    return 0;
}
