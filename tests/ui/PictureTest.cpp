#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>

#include "support/TempDir.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Picture.h"

namespace {

struct PictureFixture : ::testing::Test {
    testsupport::TempDir tmp{"zorvex-picture"};
    const std::filesystem::path& dir = tmp.path();

    static std::vector<std::uint8_t> gradient(int w, int h) {
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w * h * 3));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                auto* p = &rgb[static_cast<std::size_t>((y * w + x) * 3)];
                p[0] = static_cast<std::uint8_t>(200);
                p[1] = static_cast<std::uint8_t>(x * 255 / w);
                p[2] = static_cast<std::uint8_t>(40);
            }
        return rgb;
    }
    std::string write(const std::string& name, const std::string& bytes) {
        return tmp.write(name, bytes);
    }
    std::string writeJpeg(const std::string& name, int w, int h) {
        const auto jpeg = ui::Picture::encodeJpeg(w, h, gradient(w, h));
        return write(name, std::string(jpeg.begin(), jpeg.end()));
    }
};

// A valid small JPEG whose frame header is changed to claim `width` by `height`
// pixels, as progressive (SOF2) when asked; the rest of the file stays as it was.
std::string claimingSize(int width, int height, bool progressive) {
    const auto jpeg = ui::Picture::encodeJpeg(8, 8, std::vector<std::uint8_t>(8 * 8 * 3, 90));
    std::string bytes(jpeg.begin(), jpeg.end());
    // Walk the marker segments after SOI up to the frame header.
    std::size_t at = 2;
    while (at + 9 < bytes.size()) {
        EXPECT_EQ(static_cast<unsigned char>(bytes[at]), 0xFF);
        const auto marker = static_cast<unsigned char>(bytes[at + 1]);
        const std::size_t length = static_cast<unsigned char>(bytes[at + 2]) * 256u +
                                   static_cast<unsigned char>(bytes[at + 3]);
        if (marker == 0xC0) {
            if (progressive)
                bytes[at + 1] = static_cast<char>(0xC2);
            // length (2), precision (1), then height and width, high byte first
            bytes[at + 5] = static_cast<char>(height >> 8);
            bytes[at + 6] = static_cast<char>(height & 0xFF);
            bytes[at + 7] = static_cast<char>(width >> 8);
            bytes[at + 8] = static_cast<char>(width & 0xFF);
            return bytes;
        }
        at += 2 + length;
    }
    ADD_FAILURE() << "no baseline frame header in the encoded picture";
    return bytes;
}

bool underAddressSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#endif
#endif
    return false;
}

// What a child process found when it decoded a file.
enum ChildResult {
    kRefusedForSize = 0,
    kOtherPictureError = 1,
    kOutOfMemory = 2,
    kDecoded = 3,
    kLimitNotEffective = 4,
    kOtherError = 5,
};
struct Outcome {
    int result = -1;
    std::string message; ///< the picture error's text
};

// Decodes `path` in a child process. Where the address space can be limited (not
// under the address sanitizer), the child may grow by only 64 MiB, and before the
// decode it proves that the limit holds by failing to get 256 MiB. A decoder that
// allocates what a hostile header claims thus fails in the child, not here.
Outcome decodeInChild(const std::string& path) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        ADD_FAILURE() << "no pipe";
        return {};
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        if (!underAddressSanitizer()) {
            long pages = 0;
            std::ifstream("/proc/self/statm") >> pages;
            const rlim_t now =
                static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
            const rlimit limit{now + (64u << 20), now + (64u << 20)};
            if (setrlimit(RLIMIT_AS, &limit) != 0)
                _exit(kOtherError);
            void* volatile probe = std::malloc(256u << 20);
            if (probe != nullptr)
                _exit(kLimitNotEffective);
        }
        try {
            (void)ui::Picture::fromFile(path);
            _exit(kDecoded);
        } catch (const ui::PictureError& e) {
            const std::string text = e.what();
            if (write(pipeFds[1], text.data(), text.size()) < 0)
                _exit(kOtherError);
            _exit(text.find("too large a picture") != std::string::npos ? kRefusedForSize
                                                                        : kOtherPictureError);
        } catch (const std::bad_alloc&) {
            _exit(kOutOfMemory);
        } catch (...) {
            _exit(kOtherError);
        }
    }
    close(pipeFds[1]);
    Outcome outcome;
    char buffer[512];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        outcome.message.append(buffer, static_cast<std::size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status)) << "the child ended by signal " << WTERMSIG(status);
    outcome.result = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

TEST_F(PictureFixture, EncodedPictureDecodesToItsSizeAndColours) {
    const auto jpeg = ui::Picture::encodeJpeg(120, 90, gradient(120, 90), 90);
    const auto path = write("fea1.jpg", std::string(jpeg.begin(), jpeg.end()));
    const auto p = ui::Picture::fromFile(path);
    EXPECT_EQ(p.width(), 120);
    EXPECT_EQ(p.height(), 90);
    EXPECT_EQ(p.source(), path);
    // Lossy, but the red channel of a flat 200 stays close.
    EXPECT_NEAR(p.rgb()[0], 200, 6);
    EXPECT_NEAR(p.rgb()[(45 * 120 + 119) * 3 + 1], 252, 8);

    const auto saved = (dir / "temp.jpg").string();
    p.saveJpeg(saved);
    EXPECT_EQ(ui::Picture::fromFile(saved).width(), 120);
}

TEST_F(PictureFixture, BadFilesRaiseAnErrorNamingTheFile) {
    const auto jpeg = ui::Picture::encodeJpeg(64, 48, gradient(64, 48));
    const std::string bytes(jpeg.begin(), jpeg.end());
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"text.jpg", "this is not a picture"},
        {"empty.jpg", ""},
        {"truncated.jpg", bytes.substr(0, 200)},
        {"garbage-after-marker.jpg", std::string("\xFF\xD8\xFF\xE0", 4) + std::string(300, '\x11')},
    };
    for (const auto& [name, content] : cases) {
        const auto path = write(name, content);
        try {
            (void)ui::Picture::fromFile(path);
            ADD_FAILURE() << name << " decoded";
        } catch (const ui::PictureError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(ui::Picture::fromFile((dir / "missing.jpg").string()), ui::PictureError);
    EXPECT_THROW(ui::Picture().saveJpeg((dir / "x.jpg").string()), ui::PictureError);
    EXPECT_THROW(ui::Picture(2, 2, std::vector<std::uint8_t>(5)), ui::PictureError);
}

TEST_F(PictureFixture, ImageKeepsItsPictureWhenALoadFailsAndSharesItsReference) {
    ui::Application app(ui::EventLoop::ClockKind::Virtual);
    ui::Form form(app, "form");
    auto& image = form.add<ui::Image>("featurepic1");
    const auto jpeg = ui::Picture::encodeJpeg(32, 24, gradient(32, 24));
    const auto good = write("good.jpg", std::string(jpeg.begin(), jpeg.end()));
    image.loadFromFile(good);
    ui::PictureRef current = image.picture(); // as the current item keeps it

    const auto bad = write("bad.jpg", "nope");
    EXPECT_THROW(image.loadFromFile(bad), ui::PictureError);
    EXPECT_EQ(image.picture()->width(), 32);

    const auto other = ui::Picture::encodeJpeg(16, 8, gradient(16, 8));
    image.loadFromFile(write("other.jpg", std::string(other.begin(), other.end())));
    EXPECT_EQ(current->width(), 16); // a later fill changes what the reference shows
}

TEST_F(PictureFixture, APictureClaimingAHugeSizeIsRefusedNamingTheFile) {
    struct Case {
        const char* name;
        int width;
        int height;
        bool progressive;
    };
    std::vector<Case> cases = {{"over.jpg", 8193, 8192, false}};
    // Without an address-space limit a decoder that failed to refuse these would
    // take gigabytes of this machine's memory, so they run where the limit works.
    if (!underAddressSanitizer())
        cases.insert(cases.end(), {{"huge.jpg", 65000, 65000, false},
                                   {"huge-progressive.jpg", 65000, 65000, true},
                                   {"large.jpg", 30000, 30000, false},
                                   {"wide.jpg", 65000, 1100, false}});
    for (const auto& c : cases) {
        const auto path = write(c.name, claimingSize(c.width, c.height, c.progressive));
        EXPECT_LT(std::filesystem::file_size(path), 1000u); // a few hundred bytes claim gigabytes
        const Outcome outcome = decodeInChild(path);
        EXPECT_EQ(outcome.result, kRefusedForSize) << c.name << ": " << outcome.message;
        EXPECT_EQ(outcome.message, "'" + path + "' is too large a picture: its header claims " +
                                       std::to_string(c.width) + " by " + std::to_string(c.height) +
                                       " pixels, more than the 67108864 a picture may have");
    }
    // 8192 by 8192 is still a picture: the same file claiming that much is decoded
    // (as far as its few bytes go) rather than refused, at 1/8 to keep this test small.
    const auto atLimit = write("limit.jpg", claimingSize(8192, 8192, false));
    const auto p = ui::Picture::fromFile(atLimit, {1000, 1000});
    EXPECT_EQ(p.width(), 1024);
    EXPECT_EQ(p.naturalWidth(), 8192);
}

TEST_F(PictureFixture, AHugeClaimIsRefusedBeforeAnythingLargeIsAllocated) {
    if (underAddressSanitizer())
        GTEST_SKIP() << "the sanitizer's shadow memory needs an unlimited address space";
    // Without the refusal, 65000 by 65000 makes the decoder ask for 11.8 GiB and
    // 30000 by 30000 for 2.7 GB; the child has 64 MiB to spare.
    EXPECT_EQ(decodeInChild(write("huge.jpg", claimingSize(65000, 65000, false))).result,
              kRefusedForSize);
    EXPECT_EQ(decodeInChild(write("progressive.jpg", claimingSize(65000, 65000, true))).result,
              kRefusedForSize);
    EXPECT_EQ(decodeInChild(write("large.jpg", claimingSize(30000, 30000, false))).result,
              kRefusedForSize);
    // The same child decodes an ordinary picture.
    EXPECT_EQ(decodeInChild(writeJpeg("ordinary.jpg", 640, 480)).result, kDecoded);
}

TEST_F(PictureFixture, StretchedImagesDecodeNoLargerThanTheyAreShown) {
    ui::Application app(ui::EventLoop::ClockKind::Virtual);
    ui::Form form(app, "form");
    auto& slot = form.add<ui::Image>("videopic1");
    slot.setBounds(12, 16, 97, 76);
    slot.setStretch(true);

    // 1/8 would be 80 by 60, smaller than the slot; 1/4 still covers it.
    slot.loadFromFile(writeJpeg("large.jpg", 640, 480));
    EXPECT_EQ(slot.picture()->width(), 160);
    EXPECT_EQ(slot.picture()->height(), 120);
    EXPECT_EQ(slot.picture()->naturalWidth(), 640);
    EXPECT_EQ(slot.picture()->naturalHeight(), 480);
    EXPECT_EQ(slot.picture()->rgb().size(), 160u * 120u * 3u);
    EXPECT_NEAR(slot.picture()->rgb()[0], 200, 6); // the colours survive the scaling

    // Exactly the slot's size at 1/8.
    slot.loadFromFile(writeJpeg("exact.jpg", 776, 608));
    EXPECT_EQ(slot.picture()->width(), 97);
    EXPECT_EQ(slot.picture()->height(), 76);

    // The demo catalogue's 120 by 90 thumbnails would be too small at 1/2.
    slot.loadFromFile(writeJpeg("demo.jpg", 120, 90));
    EXPECT_EQ(slot.picture()->width(), 120);
    EXPECT_EQ(slot.picture()->naturalWidth(), 120);

    // Each dimension must be covered: a wide picture keeps enough rows.
    slot.loadFromFile(writeJpeg("wide.jpg", 1600, 160));
    EXPECT_EQ(slot.picture()->width(), 800);
    EXPECT_EQ(slot.picture()->height(), 80);

    // A picture shown at its own size, or in a control without a size, is decoded whole.
    auto& plain = form.add<ui::Image>("Image2");
    plain.setBounds(0, 0, 97, 76);
    plain.loadFromFile(writeJpeg("plain.jpg", 640, 480));
    EXPECT_EQ(plain.picture()->width(), 640);
    auto& unsized = form.add<ui::Image>("unsized");
    unsized.setStretch(true);
    unsized.loadFromFile(writeJpeg("unsized.jpg", 640, 480));
    EXPECT_EQ(unsized.picture()->width(), 640);

    // A copy (as the information picture takes) keeps both sizes.
    ui::Picture copy = *slot.picture();
    EXPECT_EQ(copy.naturalWidth(), 1600);
    EXPECT_EQ(copy.width(), 800);
}

TEST_F(PictureFixture, RevisionTellsOnePicturesPixelsFromAnothers) {
    const ui::Picture empty;
    EXPECT_EQ(empty.revision(), 0u);
    const ui::Picture made(4, 3, gradient(4, 3));
    const ui::Picture other(4, 3, gradient(4, 3));
    EXPECT_NE(made.revision(), 0u);
    EXPECT_NE(made.revision(), other.revision()); // the same bytes, made twice

    ui::Picture copy = made;
    EXPECT_EQ(copy.revision(), made.revision());
    ui::Picture moved = std::move(copy);
    EXPECT_EQ(moved.revision(), made.revision());
    EXPECT_TRUE(copy.empty()); // NOLINT: what a move leaves is part of the contract
    EXPECT_EQ(copy.revision(), 0u);

    // An image control keeps its shared picture object; the object's revision moves
    // with every new picture it is given, and stays with a copy of the same one.
    ui::Application app{ui::EventLoop::ClockKind::Virtual};
    ui::Form form{app, "form"};
    auto& image = form.add<ui::Image>("featurepic1");
    const ui::PictureRef shared = image.picture();
    image.setPicture(made);
    const std::uint64_t shown = shared->revision();
    EXPECT_EQ(shown, made.revision());
    image.setPicture(made);
    EXPECT_EQ(shared->revision(), shown);
    const auto jpeg = ui::Picture::encodeJpeg(16, 12, gradient(16, 12));
    image.loadFromFile(write("fea1.jpg", std::string(jpeg.begin(), jpeg.end())));
    EXPECT_NE(shared->revision(), shown);
    EXPECT_NE(shared->revision(), 0u);
    image.clearPicture();
    EXPECT_EQ(shared->revision(), 0u);
}

} // namespace
