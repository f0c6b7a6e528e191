#include "app/OnlineMode.h"

#include <nlohmann/json.hpp>

#include "app/Config.h"
#include "browse/Categories.h"
#include "browse/FeaturePages.h"
#include "browse/SideTabs.h"
#include "browse/SlotBehaviour.h"
#include "browse/Topics.h"
#include "catalogue/CatalogueServer.h"
#include "catalogue/RowProblems.h"
#include "db/Error.h"
#include "platform/SystemInfo.h"
#include "search/SqlText.h"
#include "ui/Application.h"
#include "ui/Convert.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/Widgets.h"

namespace app {

namespace {
// The controls the catalogue's pages need, enabled online and disabled offline.
constexpr const char* kCatalogueControls[] = {"suiImageButton3", "suiButton8", "suiButton5",
                                              "sqlsearchedit", "textSearch"};
} // namespace

std::string usageTimestamp() {
    return platform::localDateTime();
}

OnlineMode::OnlineMode(const Config& config, OnlineModeParts parts)
    : config_(config), parts_(parts), settingsQuery_(parts.server.connection(), "halden"),
      usageQuery_(parts.server.connection(), "halden"),
      keyQuery_(parts.server.connection(), "halden") {
    registerState();
}

void OnlineMode::progress(int position) {
    parts_.progressBar.setPosition(position);
}

void OnlineMode::SetOnlineMode(bool online) {
    // Every path, also a failing one, ends with the connection closed.
    catalogue::CatalogueServer::ClosingGuard guard{parts_.server};
    if (online)
        this->online();
    else
        offline();
}

void OnlineMode::online() {
    auto& form = parts_.form;
    catalogue::RowProblems problems;
    parts_.progressBar.setRange(0, 100);
    progress(3);
    parts_.server.OpenCatalogue();
    progress(12);
    progress(21);
    parts_.topics.LoadFeatureTopics();
    progress(31);
    parts_.topics.LoadSpecialTopics();
    progress(42);
    parts_.sideTabs.LoadSideTabs();
    progress(52);
    LoadIfilmKey(problems);
    progress(63);
    // As the first topic buttons of both pages are clicked.
    parts_.pages.showSpecialTopic(1, &problems);
    parts_.pages.showFeatureTopic(1, &problems);
    progress(72);
    parts_.categories.LoadCategories(problems);
    RecordUsage("Version 2.1 ");
    progress(85);

    auto& pages = form.get<ui::PageControl>("suiPageControl1");
    for (int i = 0; i <= 5; ++i)
        pages.page(i).setTabVisible(true);
    auto& side = form.get<ui::PageControl>("sidepage");
    side.page(0).setTabVisible(true);
    side.page(1).setTabVisible(true);
    pages.activatePage(2);
    side.activatePage(0);

    form.get<ui::MenuItem>("ZorvexOffline").show();
    form.get<ui::MenuItem>("ZorvexOnline").hide();
    for (const char* name : kCatalogueControls)
        form.get<ui::Control>(name).setEnabled(true);
    form.get<ui::Label>("OnlineModeCaption").setCaption("Online");
    LoadGlobalTable(problems);
    progress(95);
    onlineMode_ = true;
    progress(100);
    parts_.continueButton.setEnabled(true);
    if (!problems.empty())
        form.app().dialogs().showError(problems.message());
}

void OnlineMode::offline() {
    auto& form = parts_.form;
    for (const char* name : {"titlestatus", "descdis3", "descdis4", "nowtitledis", "nowdescdis1",
                             "nowdescdis2", "visitsite"})
        form.get<ui::Label>(name).setCaption("");
    auto& pages = form.get<ui::PageControl>("suiPageControl1");
    auto& side = form.get<ui::PageControl>("sidepage");
    pages.activatePage(6);
    side.activatePage(2);
    for (int i = 0; i <= 5; ++i)
        pages.page(i).setTabVisible(false);
    side.page(1).setTabVisible(false);
    side.page(0).setTabVisible(false);
    form.get<ui::MenuItem>("ZorvexOffline").hide();
    form.get<ui::MenuItem>("ZorvexOnline").show();
    for (const char* name : kCatalogueControls)
        form.get<ui::Control>(name).setEnabled(false);
    form.get<ui::Label>("OnlineModeCaption").setCaption("Offline");
    static constexpr const char* kOfflineTexts[] = {"Zorvex", "Zorvex is running in Offline Mode",
                                                    "Check your Internet Firewall"};
    static constexpr const char* kOfflineLabels[] = {"titledis", "descdis1", "descdis2"};
    for (int i = 0; i < 3; ++i) {
        form.get<ui::Label>(kOfflineLabels[i]).setCaption(kOfflineTexts[i]);
        parts_.slots.setInfoDefault(i, kOfflineTexts[i]);
    }
    onlineMode_ = false;
}

void OnlineMode::LoadGlobalTable(catalogue::RowProblems& problems) {
    auto& q = settingsQuery_;
    q.close();
    q.setSql("SELECT * FROM zorvex_global");
    q.open();
    static constexpr const char* kInfoLabels[] = {"titledis", "descdis1", "descdis2", "descdis3",
                                                  "descdis4"};
    static constexpr const char* kNowLabels[] = {"titlestatus", "nowtitledis", "nowdescdis1",
                                                 "nowdescdis2", "visitsite"};
    while (!q.eof()) {
        int id = 0;
        try {
            id = ui::toInteger(q.field("id").text());
        } catch (const std::exception& e) {
            problems.add(std::string("A global setting skipped: ") + e.what());
        }
        (void)q.field("item").text();
        std::string value = q.field("value").text();
        if (id >= 2 && id <= 6) {
            parts_.form.get<ui::Label>(kInfoLabels[id - 2]).setCaption(value);
            parts_.slots.setInfoDefault(id - 2, std::move(value));
        } else if (id >= 7 && id <= 11) {
            parts_.form.get<ui::Label>(kNowLabels[id - 7]).setCaption(value);
        } else if (id >= 12 && id <= 19) {
            imageSearchSqlPart_[static_cast<std::size_t>(id - 11)] = std::move(value);
        } else if (id >= 20 && id <= 23) {
            textSearchSqlPart_[static_cast<std::size_t>(id - 19)] = std::move(value);
        }
        q.next();
    }
}

void OnlineMode::RecordUsage(const std::string& version) {
    auto& q = usageQuery_;
    q.beginAppend("videopath");
    q.setField(2, version);
    q.setField(4, usageTimestamp());
    q.setField(1, platform::localIpAddress());
    q.setField(3, platform::computerName());
    q.setField(5, parts_.pingTimeText);
    q.post();
}

void OnlineMode::LoadIfilmKey(catalogue::RowProblems& problems) {
    auto& q = keyQuery_;
    q.close();
    q.setSql("Select * from videokey where host like \"%" +
             search::escapeLiteral(config_.get("resolver", "ifilm_marker"), '"') + "%\" limit 0,1");
    try {
        q.open();
        if (!q.eof())
            ifilmKey_ = q.field("time").text();
    } catch (const db::Error& e) {
        if (db::isConnectionFailure(e.number()))
            throw;
        problems.add(std::string("The site key was not read: ") + e.what());
    }
}

void OnlineMode::registerState() const {
    auto& r = parts_.form.app().state();
    auto entries = [](const auto& a) {
        return nlohmann::json(std::vector<std::string>(a.begin() + 1, a.end()));
    };
    r.add("onlineMode", [this] { return onlineMode_; });
    r.add("imageSearchSqlParts", [this, entries] { return entries(imageSearchSqlPart_); });
    r.add("textSearchSqlParts", [this, entries] { return entries(textSearchSqlPart_); });
    r.add("ifilmKey", [this] { return ifilmKey_; });
    r.add("catalogueConnected", [this] { return parts_.server.connection().connected(); });
}

} // namespace app
