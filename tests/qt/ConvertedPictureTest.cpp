// A model picture is converted for Qt once per picture, not once per look at it.

#include <gtest/gtest.h>

#include "GalleryForm.h"
#include "qt/ConvertedPicture.h"
#include "ui/Picture.h"

namespace {

TEST(ConvertedPicture, ConvertsOnlyAnotherPicture) {
    qtfront::ConvertedPicture converted;
    EXPECT_FALSE(converted.update(nullptr));
    EXPECT_TRUE(converted.image().isNull());

    const ui::Picture dusk = qttest::duskPicture(32, 24);
    EXPECT_TRUE(converted.update(&dusk));
    const qint64 first = converted.image().cacheKey();
    EXPECT_EQ(converted.image().size(), QSize(32, 24));
    EXPECT_EQ(converted.image().pixelColor(0, 0),
              QColor(dusk.rgb()[0], dusk.rgb()[1], dusk.rgb()[2]));

    // The same picture, or a copy of it, is not converted again.
    EXPECT_FALSE(converted.update(&dusk));
    const ui::Picture copy = dusk;
    EXPECT_FALSE(converted.update(&copy));
    EXPECT_EQ(converted.image().cacheKey(), first);

    // Another picture is, even with the same pixels; an empty one clears the image.
    const ui::Picture again = qttest::duskPicture(32, 24);
    EXPECT_TRUE(converted.update(&again));
    EXPECT_NE(converted.image().cacheKey(), first);
    const ui::Picture empty;
    EXPECT_TRUE(converted.update(&empty));
    EXPECT_TRUE(converted.image().isNull());
    EXPECT_FALSE(converted.update(nullptr));
}

} // namespace
