#include "QtEnvironment.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>

#include <algorithm>
#include <memory>

#include "qt/Run.h"

namespace qttest {

namespace {

/// Owns the QApplication and ends it when the tests are done, while the process is
/// still whole: the web engine cannot shut down from static destructors.
class Environment : public ::testing::Environment {
  public:
    QApplication& application() {
        if (!app_) {
            if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM",
                        qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
            app_ = qtfront::makeApplication(argc_, argv_);
        }
        return *app_;
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[8] = "test_qt";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

Environment& environment() {
    // gtest owns the environment once it is registered.
    static Environment* env =
        static_cast<Environment*>(::testing::AddGlobalTestEnvironment(new Environment));
    return *env;
}

// Registered before the tests start, so its TearDown runs after the last one.
[[maybe_unused]] const Environment& registered = environment();

} // namespace

QApplication& application() {
    return environment().application();
}

std::string skinFolder() {
    return ZORVEX_BINARY_DIR;
}

double screenShare(const QRect& area, const std::function<bool(const QColor&)>& counts) {
    const QImage image = QGuiApplication::primaryScreen()
                             ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                             .toImage();
    if (image.isNull())
        return 0;
    int counted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (counts(image.pixelColor(x, y)))
                ++counted;
    return double(counted) / (image.width() * image.height());
}

double colourfulShare(const QRect& area) {
    return screenShare(area, [](const QColor& c) {
        return std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) >
               80;
    });
}

} // namespace qttest
