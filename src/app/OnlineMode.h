#pragma once
// Online and offline mode: the online load that reads the catalogue's lists and
// settings into the main window (with progress on the splash dialog's bar), and the
// offline switch that hides every page needing the catalogue. It owns the mode and
// what the load keeps that no page owns: the search statement pieces and the key of
// the link resolver's first site.
//
// Thread: user-interface thread only.

#include <array>
#include <string>

#include "browse/Forward.h"
#include "db/Query.h"

namespace ui {
class Button;
class Form;
class ProgressBar;
} // namespace ui
namespace catalogue {
class CatalogueServer;
class RowProblems;
} // namespace catalogue

namespace app {

class Config;

/// What the online load fills and the offline switch empties. All are owned
/// elsewhere and outlive the OnlineMode.
struct OnlineModeParts {
    ui::Form& form;
    catalogue::CatalogueServer& server;
    browse::Topics& topics;
    browse::FeaturePages& pages;
    browse::SideTabs& sideTabs;
    browse::Categories& categories;
    browse::SlotBehaviour& slots;
    ui::ProgressBar& progressBar;    ///< the splash dialog's bar
    ui::Button& continueButton;      ///< enabled when the load is done
    const std::string& pingTimeText; ///< the splash dialog's measured round trip
};

class OnlineMode {
  public:
    /// Registers the mode and the loaded settings as state variables.
    OnlineMode(const Config& config, OnlineModeParts parts);
    OnlineMode(const OnlineMode&) = delete;
    OnlineMode& operator=(const OnlineMode&) = delete;

    /// true: the online load; false: the offline switch. A connection that cannot
    /// be made, or a list the load cannot do without (the topic and side-tab
    /// lists), ends the load there with the catalogue error (thrown), leaving the
    /// mode as it was. A bad picture or row elsewhere is skipped and the load goes
    /// on; such problems are reported once, together, when it is done. The
    /// connection is closed on every path.
    void SetOnlineMode(bool online);

    bool onlineMode() const { return onlineMode_; }

    /// Statement pieces from the global settings table (entries 1..8 and 1..4).
    const std::array<std::string, 9>& imageSearchSqlParts() const { return imageSearchSqlPart_; }
    const std::array<std::string, 5>& textSearchSqlParts() const { return textSearchSqlPart_; }
    const std::string& ifilmKey() const { return ifilmKey_; }

  private:
    void online();
    void offline();
    void progress(int position);
    /// Reads the global settings table into the labels and statement pieces. A
    /// row whose id is not a number is recorded and skipped.
    void LoadGlobalTable(catalogue::RowProblems& problems);
    /// Appends the usage row for this start.
    void RecordUsage(const std::string& version);
    /// Reads the key of the resolver's first site; a key table that is missing
    /// or refused is recorded and the key stays as it was.
    void LoadIfilmKey(catalogue::RowProblems& problems);
    void registerState() const;

    const Config& config_;
    OnlineModeParts parts_;
    db::Query settingsQuery_; ///< designed name videosearchmysql
    db::Query usageQuery_;    ///< designed name videopathsql
    db::Query keyQuery_;      ///< designed name ifilm
    bool onlineMode_ = false;
    std::array<std::string, 9> imageSearchSqlPart_{};
    std::array<std::string, 5> textSearchSqlPart_{};
    std::string ifilmKey_;
};

/// The usage row's date and time: local time as "yyyy-mm-dd hh:nn:ss".
std::string usageTimestamp();

} // namespace app
