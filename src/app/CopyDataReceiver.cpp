#include "app/CopyDataReceiver.h"

#include <cmath>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "platform/SystemInfo.h"
#include "ui/Application.h"
#include "ui/Image.h"
#include "ui/StateRegistry.h"
#include "ui/Widgets.h"

namespace app {

namespace {

// The days of a proleptic Gregorian date-time of 1 January of year 1 and of 31
// December 9999, counted from 30 December 1899.
constexpr double kFirstDay = -693593;
constexpr double kLastDay = 2958465;

std::string today() {
    return platform::localDateTime().substr(0, 10);
}

} // namespace

std::string copyDataDate(double days) {
    if (!std::isfinite(days) || days < kFirstDay || days >= kLastDay + 1)
        return "(not a date)";
    // Days since 1970-01-01, then the civil date (H. Hinnant's algorithm).
    long z = static_cast<long>(std::trunc(days)) - 25569 + 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const long day = doy - (153 * mp + 2) / 5 + 1;
    const long month = mp < 10 ? mp + 3 : mp - 9;
    const long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    char text[64];
    std::snprintf(text, sizeof text, "%04ld-%02ld-%02ld", year, month, day);
    return text;
}

CopyDataReceiver::CopyDataReceiver(ui::Application& app, std::function<void(std::string)> playLink)
    : ui::Form(app, "ReceiverMainForm"), playLink_(std::move(playLink)) {
    setCaption("ReceiverMainForm");
    setBounds(0, 0, 400, 300);
    auto& memo = add<ui::Memo>("cdMemo");
    memo.setBounds(8, 8, 384, 140);
    memo.setText("First run CopyDataReceiver (this application) then CopyDataSender!");
    memo.clear(); // the design text is cleared at creation
    auto& image = add<ui::Image>("receivedImage");
    image.setBounds(8, 156, 384, 136);

    app.state().add("receiverSocket", [this] { return socketPath(); });
    try {
        auto& loop = app.loop();
        listener_ = std::make_unique<platform::CopyDataListener>(
            kClassName, kTitle, [&loop](std::function<void()> fn) { loop.post(std::move(fn)); },
            [this](const platform::CopyDataListener::Received& message) {
                return receive(message);
            });
    } catch (const std::exception& e) {
        memo.addLine(std::string("Not receiving copy-data: ") + e.what());
    }
}

CopyDataReceiver::~CopyDataReceiver() = default;

std::string CopyDataReceiver::socketPath() const {
    return listener_ ? listener_->path() : std::string();
}

std::int32_t CopyDataReceiver::receive(const platform::CopyDataListener::Received& message) {
    auto& memo = get<ui::Memo>("cdMemo");
    auto answer = [&memo] { return static_cast<std::int32_t>(memo.lines().size()); };
    memo.addLine("WM_CopyData from: " + std::to_string(message.sender));
    auto drop = [&](const std::string& why) {
        memo.addLine("Dropped the copy-data message: " + why);
        return answer();
    };
    if (!message.problem.empty())
        return drop(message.problem);
    const std::string& payload = message.message.payload;
    switch (message.message.kind & 0xFF) {
    case 0: {
        std::string text;
        try {
            text = platform::readText(payload);
        } catch (const platform::CopyDataError& e) {
            return drop(e.what());
        }
        memo.setText(text);
        playLink_(std::move(text));
        break;
    }
    case 1: {
        // A stream the picture decoder cannot read raises its error here.
        const ui::Picture picture = ui::Picture::fromJpeg(payload, "the received image");
        get<ui::Image>("receivedImage").setPicture(picture);
        memo.addLine("Received image at " + today());
        break;
    }
    case 2: {
        platform::CopyDataRecord record;
        try {
            record = platform::readRecord(payload);
        } catch (const platform::CopyDataError& e) {
            return drop(e.what());
        }
        memo.addLine("Received record at " + today());
        memo.addLine("sampleRecord.s = " + record.s);
        memo.addLine("sampleRecord.i = " + std::to_string(record.i));
        memo.addLine("sampleRecord.d = " + copyDataDate(record.d));
        break;
    }
    default:
        break;
    }
    return answer();
}

} // namespace app
