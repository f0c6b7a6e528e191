#pragma once
// Online and offline mode: the online load that reads the catalogue's lists and
// settings into the main window (with progress on the splash dialog's bar), and the
// offline switch that hides every page needing the catalogue.
//
// Thread: user-interface thread only.

#include <string>

namespace app {

class Tmainform;

class OnlineMode {
public:
    explicit OnlineMode(Tmainform& form);

    /// true: the online load; false: the offline switch. A failing step of the load
    /// ends it there with the catalogue error (thrown), leaving `onlineMode` as it
    /// was; the connection is closed on every path.
    void SetOnlineMode(bool online);

    /// Reads the global settings table into the labels and statement pieces. A
    /// non-numeric id ends it with the conversion error.
    void LoadGlobalTable();
    /// Appends the usage row for this start.
    void RecordUsage(const std::string& version);
    void LoadIfilmKey();

    bool onlineMode = false;

private:
    void online();
    void offline();
    void progress(int position);

    Tmainform& form_;
};

/// The usage row's date and time: local time as "yyyy-mm-dd hh:nn:ss".
std::string usageTimestamp();

} // namespace app
