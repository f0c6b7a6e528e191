#include <gtest/gtest.h>

#include <filesystem>

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
};

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
