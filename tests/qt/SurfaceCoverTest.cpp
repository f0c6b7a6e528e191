// A media surface's native window in a real window: drawn over every other control
// of its window, it shows only what the model leaves uncovered of the surface.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include "QtEnvironment.h"
#include "ShownGallery.h"

namespace {

/// The share of pixels in `area` of the screen close to `colour`.
double shareOf(const QRect& area, const QColor& colour) {
    return qttest::screenShare(area, [&](const QColor& c) {
        return std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                   std::abs(c.blue() - colour.blue()) <
               60;
    });
}

class SurfaceCover : public qttest::ShownGallery {};

TEST_F(SurfaceCover, APanelInFrontHidesTheNativeWindowAndTheModelKeepsItVisible) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(front.windowOf(gallery)));
    ASSERT_NE(surface(), nullptr);
    EXPECT_TRUE(nativeShown());
    EXPECT_TRUE(QTest::qWaitFor([&] { return shareOf(area(), Qt::black) > 0.95; }, 10000));

    // A red panel over the whole surface, in front of it.
    auto& cover = gallery.videoArea.add<ui::Panel>("cover");
    const ui::Bounds& b = gallery.surface.bounds();
    cover.setBounds(b);
    cover.setColour({220, 0, 0});
    front.sync();
    EXPECT_TRUE(gallery.surface.visible());
    EXPECT_FALSE(nativeShown());
    EXPECT_TRUE(QTest::qWaitFor([&] { return shareOf(area(), QColor(220, 0, 0)) > 0.95; }, 10000));

    // Sent behind the surface, the panel no longer covers it.
    cover.sendToBack();
    front.sync();
    EXPECT_TRUE(nativeShown());
    EXPECT_TRUE(surface()->mask().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return shareOf(area(), Qt::black) > 0.95; }, 10000));

    // Over the lower half only, the panel stays in front there and the video shows
    // above it.
    cover.bringToFront();
    cover.setBounds(b.left, b.top + b.height / 2, b.width, b.height - b.height / 2);
    front.sync();
    EXPECT_TRUE(nativeShown());
    EXPECT_EQ(surface()->mask(), QRegion(0, 0, b.width, b.height / 2));
    const QRect whole = area();
    const QRect upper(whole.topLeft(), QSize(whole.width(), whole.height() / 2));
    const QRect lower(whole.left(), whole.top() + whole.height() / 2 + 1, whole.width(),
                      whole.height() / 2 - 1);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return shareOf(upper, Qt::black) > 0.95 && shareOf(lower, QColor(220, 0, 0)) > 0.95;
        },
        10000));

    // A hidden parent hides it; shown again, the mask is still the uncovered part.
    gallery.videoArea.hide();
    front.sync();
    EXPECT_FALSE(nativeShown());
    gallery.videoArea.show();
    cover.hide();
    front.sync();
    EXPECT_TRUE(nativeShown());
    EXPECT_TRUE(surface()->mask().isEmpty());
}

TEST_F(SurfaceCover, AnInactiveSheetOrAHiddenSurfaceKeepsItHidden) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(front.windowOf(gallery)));
    auto& onSheet = gallery.webSheet.add<ui::MediaSurface>("sheetSurface");
    onSheet.setBounds(10, 10, 200, 120);
    gallery.pages.setActiveIndex(0);
    front.sync();
    QWidget* native = front.widgetOf(onSheet);
    ASSERT_NE(native, nullptr);
    EXPECT_TRUE(onSheet.visible());
    EXPECT_TRUE(native->isHidden());
    gallery.pages.setActiveIndex(1);
    front.sync();
    EXPECT_FALSE(native->isHidden());

    gallery.surface.hide();
    front.sync();
    EXPECT_FALSE(nativeShown());
}

} // namespace
