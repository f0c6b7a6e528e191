#pragma once
// The copy-data sender: a form that is made at start and never shown; it hands a
// link to whatever receiver window exists, and opens it in the default browser when
// none does.
//
// Thread: user-interface thread only. Deliver waits for the receiver's answer.

#include <iosfwd>
#include <string>
#include <string_view>

#include "platform/CopyDataDelivery.h"
#include "ui/Form.h"

namespace platform {
class Shell;
}

namespace app {

class CopyDataSender : public ui::Form {
  public:
    /// `shell` opens the browser of the fallback and outlives the form.
    CopyDataSender(ui::Application& app, platform::Shell& shell);

    /// `lastSentText` := `text`; delivers it as a text message.
    platform::CopyDataDelivery SendText(std::string_view text);
    /// Opens `url` in the default browser, without any copy-data.
    void OpenLinkMaximised(std::string_view url);
    /// Delivers `record` to the receiver window found by its class name and title
    /// and waits for its answer; with none found, opens `lastSentText` in the
    /// default browser instead. Throws platform::CopyDataError for a message of more
    /// than 1 MiB.
    platform::CopyDataDelivery Deliver(const platform::CopyData& record);

    const std::string& lastSentText() const { return lastSentText_; }

  private:
    platform::Shell& shell_;
    std::string lastSentText_;
};

/// `zorvex --send TEXT`: delivers `text` as a text message to the running program's
/// receiver; a relative path of an existing file goes as its full path. Returns the exit status: 0
/// when the receiver answered, 1 (with a message on `err`) when no program runs, it did not answer,
/// or the text is too long. Never opens a browser.
int sendToRunningProgram(std::string_view text, std::ostream& err);

} // namespace app
