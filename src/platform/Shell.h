#pragma once
// Hands a web address to the user's default web browser.
//
// Thread: any thread; implementations keep no state between calls.

#include <string_view>

namespace platform {

/// How the caller would like the browser window shown. Desktop browsers on Linux
/// choose their own window state, so this is a wish that fakes can record.
enum class WindowShow { Normal, Maximised };

class Shell {
  public:
    virtual ~Shell() = default;

    /// Starts the default browser with `url` and returns at once, without waiting
    /// for the browser. Returns true when a browser command was found and started,
    /// false otherwise. Never throws except std::bad_alloc.
    virtual bool openUrl(std::string_view url, WindowShow show) = 0;
};

} // namespace platform
