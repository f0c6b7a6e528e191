// Loading thumbnails into their image controls, as a page fill does after writing
// each picture file: 16 files into the 97 by 76 slots of a side tab and 8 into the
// 161 by 110 slots of a feature page, for the demo catalogue's 120 by 90 pictures
// and for the larger ones that video sites publish. Prints the median time of one
// page's loads over several rounds.
//   bench_thumbnails [ROUNDS]

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Timings.h"

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Picture.h"

namespace {

// A picture with smooth areas and fine detail, so the decoder has real work.
std::vector<std::uint8_t> scene(int w, int h, int seed) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    unsigned noise = 12345u + static_cast<unsigned>(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            noise = noise * 1103515245u + 12345u;
            const double wave = std::sin((x + seed * 7) / 9.0) * std::cos(y / 13.0);
            auto* p = &rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + x) * 3];
            p[0] = static_cast<std::uint8_t>(120 + 80 * wave + ((noise >> 16) & 31));
            p[1] = static_cast<std::uint8_t>(x * 255 / w);
            p[2] = static_cast<std::uint8_t>(y * 255 / h ^ ((noise >> 8) & 15));
        }
    return rgb;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    const auto dir = std::filesystem::temp_directory_path() / "zorvex-bench-thumbnails";
    std::filesystem::create_directories(dir);
    try {
        ui::Application app(ui::EventLoop::ClockKind::Virtual);
        ui::Form form(app, "form");
        struct Page {
            const char* what;
            int slots;
            int width;
            int height;
        };
        const Page pages[] = {{"side tab, 16 slots of 97 x 76", 16, 97, 76},
                              {"feature page, 8 slots of 161 x 110", 8, 161, 110}};
        std::vector<ui::Image*> images;
        for (int n = 0; n < 16; ++n) {
            std::string name = "pic";
            name += std::to_string(n); // (a + b on a literal trips a GCC 12 warning)
            auto& image = form.add<ui::Image>(name);
            image.setStretch(true);
            images.push_back(&image);
        }
        const std::pair<int, int> sizes[] = {{120, 90}, {320, 240}, {480, 360}, {640, 480}};
        for (const auto& [w, h] : sizes) {
            std::vector<std::string> files;
            for (int n = 0; n < 16; ++n) {
                const auto jpeg = ui::Picture::encodeJpeg(w, h, scene(w, h, n), 80);
                std::string name = std::to_string(n);
                name += ".jpg";
                files.push_back((dir / name).string());
                std::ofstream(files.back(), std::ios::binary)
                    .write(reinterpret_cast<const char*>(jpeg.data()),
                           static_cast<std::streamsize>(jpeg.size()));
            }
            for (const Page& page : pages) {
                for (int n = 0; n < page.slots; ++n)
                    images[static_cast<std::size_t>(n)]->setBounds(0, 0, page.width, page.height);
                std::vector<double> ms;
                int shownWidth = 0;
                for (int r = 0; r < rounds; ++r) {
                    const auto start = std::chrono::steady_clock::now();
                    for (int n = 0; n < page.slots; ++n)
                        images[static_cast<std::size_t>(n)]->loadFromFile(
                            files[static_cast<std::size_t>(n)]);
                    ms.push_back(std::chrono::duration<double, std::milli>(
                                     std::chrono::steady_clock::now() - start)
                                     .count());
                    shownWidth = images[0]->picture()->width();
                }
                std::printf("%d x %d pictures, %s: median %.2f ms per page (min %.2f, %d rounds; "
                            "decoded %d wide)\n",
                            w, h, page.what, bench::median(ms),
                            *std::min_element(ms.begin(), ms.end()), rounds, shownWidth);
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_thumbnails: %s\n", e.what());
        std::filesystem::remove_all(dir);
        return 1;
    }
    std::filesystem::remove_all(dir);
    return 0;
}
