#include "app/OnlineMode.h"

#include <ctime>

#include "app/TAboutBox.h"
#include "app/Tmainform.h"
#include "browse/Categories.h"
#include "browse/Topics.h"
#include "catalogue/Catalogue.h"
#include "platform/SystemInfo.h"
#include "search/SqlText.h"
#include "ui/Convert.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/Widgets.h"

namespace app {

namespace {
// The controls the catalogue's pages need, enabled online and disabled offline.
constexpr const char* kCatalogueControls[] = {"suiImageButton3", "suiButton8", "suiButton5", "sqlsearchedit",
                                              "textSearch"};
} // namespace

std::string usageTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
    return buf;
}

OnlineMode::OnlineMode(Tmainform& form) : form_(form) {}

void OnlineMode::progress(int position) {
    form_.aboutBox().get<ui::ProgressBar>("startProgress").setPosition(position);
}

void OnlineMode::SetOnlineMode(bool online) {
    // Every path, also a failing one, ends with the connection closed.
    auto& catalogue = form_.catalogue();
    struct Closer {
        catalogue::Catalogue& c;
        ~Closer() { c.CloseCatalogue(); }
    } closer{catalogue};
    if (online)
        this->online();
    else
        offline();
}

void OnlineMode::online() {
    auto& catalogue = form_.catalogue();
    auto& bar = form_.aboutBox().get<ui::ProgressBar>("startProgress");
    bar.setRange(0, 100);
    progress(3);
    catalogue.OpenCatalogue();
    progress(12);
    progress(21);
    form_.topics().LoadFeatureTopics();
    progress(31);
    form_.topics().LoadSpecialTopics();
    progress(42);
    form_.topics().LoadSideTabs();
    progress(52);
    LoadIfilmKey();
    progress(63);
    form_.topics().SpecialbuttonClick(1);
    form_.topics().querybuttonClick(1);
    progress(72);
    form_.categories().LoadCategories();
    RecordUsage("Version 2.1 ");
    progress(85);

    auto& pages = form_.get<ui::PageControl>("suiPageControl1");
    for (int i = 0; i <= 5; ++i)
        pages.page(i).setTabVisible(true);
    auto& side = form_.get<ui::PageControl>("sidepage");
    side.page(0).setTabVisible(true);
    side.page(1).setTabVisible(true);
    Tmainform::activateTab(pages, 2);
    Tmainform::activateTab(side, 0);

    form_.get<ui::MenuItem>("ZorvexOffline").show();
    form_.get<ui::MenuItem>("ZorvexOnline").hide();
    for (const char* name : kCatalogueControls)
        form_.find(name)->setEnabled(true);
    form_.get<ui::Label>("OnlineModeCaption").setCaption("Online");
    LoadGlobalTable();
    progress(95);
    onlineMode = true;
    progress(100);
    form_.aboutBox().get<ui::Button>("suiImageButton1").setEnabled(true);
}

void OnlineMode::offline() {
    for (const char* name : {"titlestatus", "descdis3", "descdis4", "nowtitledis", "nowdescdis1", "nowdescdis2",
                             "visitsite"})
        form_.find(name)->setCaption("");
    auto& pages = form_.get<ui::PageControl>("suiPageControl1");
    auto& side = form_.get<ui::PageControl>("sidepage");
    Tmainform::activateTab(pages, 6);
    Tmainform::activateTab(side, 2);
    for (int i = 0; i <= 5; ++i)
        pages.page(i).setTabVisible(false);
    side.page(1).setTabVisible(false);
    side.page(0).setTabVisible(false);
    form_.get<ui::MenuItem>("ZorvexOffline").hide();
    form_.get<ui::MenuItem>("ZorvexOnline").show();
    for (const char* name : kCatalogueControls)
        form_.find(name)->setEnabled(false);
    form_.get<ui::Label>("OnlineModeCaption").setCaption("Offline");
    form_.find("titledis")->setCaption("Zorvex");
    form_.find("descdis1")->setCaption("Zorvex is running in Offline Mode");
    form_.find("descdis2")->setCaption("Check your Internet Firewall");
    form_.state.infoDefaults[0] = "Zorvex";
    form_.state.infoDefaults[1] = "Zorvex is running in Offline Mode";
    form_.state.infoDefaults[2] = "Check your Internet Firewall";
    onlineMode = false;
}

void OnlineMode::LoadGlobalTable() {
    auto& q = form_.catalogue().videosearchmysql;
    q.close();
    q.setSql("SELECT * FROM zorvex_global");
    q.open();
    auto& st = form_.state;
    static constexpr const char* kInfoLabels[] = {"titledis", "descdis1", "descdis2", "descdis3", "descdis4"};
    static constexpr const char* kNowLabels[] = {"titlestatus", "nowtitledis", "nowdescdis1", "nowdescdis2",
                                                 "visitsite"};
    while (!q.eof()) {
        const int id = ui::toInteger(q.field("id").text());
        (void)q.field("item").text();
        std::string value = q.field("value").text();
        if (id >= 2 && id <= 6) {
            form_.find(kInfoLabels[id - 2])->setCaption(value);
            st.infoDefaults[static_cast<std::size_t>(id - 2)] = std::move(value);
        } else if (id >= 7 && id <= 11) {
            form_.find(kNowLabels[id - 7])->setCaption(value);
        } else if (id >= 12 && id <= 19) {
            st.imageSearchSqlPart[static_cast<std::size_t>(id - 11)] = std::move(value);
        } else if (id >= 20 && id <= 23) {
            st.textSearchSqlPart[static_cast<std::size_t>(id - 19)] = std::move(value);
        }
        q.next();
    }
}

void OnlineMode::RecordUsage(const std::string& version) {
    auto& q = form_.catalogue().videopathsql;
    q.beginAppend("videopath");
    q.setField(2, version);
    q.setField(4, usageTimestamp());
    q.setField(1, platform::localIpAddress());
    q.setField(3, platform::computerName());
    q.setField(5, form_.state.pingTimeText);
    q.post();
}

void OnlineMode::LoadIfilmKey() {
    auto& q = form_.catalogue().ifilm;
    q.close();
    q.setSql("Select * from videokey where host like \"%" +
             search::escapeLiteral(form_.config().get("resolver", "ifilm_marker"), '"') + "%\" limit 0,1");
    q.open();
    if (!q.eof())
        form_.state.ifilmKey = q.field("time").text();
}

} // namespace app
