#include "browse/Topics.h"

#include "app/Tmainform.h"
#include "browse/FeaturePages.h"
#include "browse/SideTabs.h"
#include "catalogue/Catalogue.h"
#include "ui/PageControl.h"
#include "ui/Utf8.h"
#include "ui/Widgets.h"

namespace browse {

Topics::Topics(app::Tmainform& form, catalogue::Catalogue& catalogue, FeaturePages& pages,
               const bool& onlineMode)
    : form_(form), catalogue_(catalogue), pages_(pages), onlineMode_(onlineMode) {
    for (int n = 1; n <= 12; ++n) {
        form_.get<ui::Button>("querybutton" + std::to_string(n)).onClick = [this, n] { querybuttonClick(n); };
        form_.get<ui::Button>("Specialbutton" + std::to_string(n)).onClick = [this, n] { SpecialbuttonClick(n); };
    }
    form_.get<ui::SideChannel>("videosidebarslide").onPop = [this] { videosidebarslidePop(); };
    form_.get<ui::PageControl>("sidepage").onTabActive = [this](int index) { sidepageTabActive(index); };
}

namespace {

void loadTopicList(db::Query& component, const std::string& table, TopicList& list, app::Tmainform& form,
                   const std::string& buttonPrefix) {
    component.close();
    component.setSql("SELECT * FROM " + table + " limit 0,25");
    component.open();
    list.count = 0;
    while (!component.eof()) {
        // The list holds 20 topics; further rows have no place and are skipped.
        if (list.count < TopicList::kCapacity) {
            const int i = ++list.count;
            list.sql[static_cast<std::size_t>(i)] = component.field("videoquerysql").text();
            list.caption[static_cast<std::size_t>(i)] = component.field("videoquerycaption").text();
            if (i <= 12)
                form.get<ui::Button>(buttonPrefix + std::to_string(i))
                    .setCaption(ui::utf8::left(list.caption[static_cast<std::size_t>(i)], 16));
        }
        component.next();
    }
}

} // namespace

void Topics::LoadFeatureTopics() {
    loadTopicList(catalogue_.peloraqueryfeaturesql, "videoqueryfeature", pages_.featureTopics, form_,
                  "querybutton");
}

void Topics::LoadSpecialTopics() {
    loadTopicList(catalogue_.myspecialvideos, "videospecialfeature", pages_.specialTopics, form_,
                  "Specialbutton");
}

void Topics::LoadSideTabs() {
    auto& q = catalogue_.sidetabsql;
    q.close();
    q.setSql("Select * from sidetab");
    q.open();
    int i = 0;
    while (!q.eof()) {
        if (i < kSideTabs) {
            ++i;
            sideTabSql[static_cast<std::size_t>(i)] = q.field("sidequery").text();
            sideTabCaption[static_cast<std::size_t>(i)] = q.field("sidecaption").text();
        }
        q.next();
    }
}

bool Topics::topicListOpen() const { return catalogue_.peloraqueryfeaturesql.isOpen(); }

void Topics::querybuttonClick(int n) {
    if (n == 11 && topicListOpen())
        return;
    pages_.featureOffset = 0;
    pages_.featureTopicIndex = n - 1;
    catalogue_.Bracket([this] { pages_.FillFeaturePage("getnextquery"); });
}

void Topics::SpecialbuttonClick(int n) {
    pages_.specialOffset = 0;
    pages_.specialTopicIndex = n - 1;
    catalogue_.Bracket([this] { pages_.FillSpecialPage("getnextquery"); });
}

void Topics::videosidebarslidePop() {
    if (!onlineMode_)
        return;
    form_.get<ui::SideChannel>("videosidebarslide").bringToFront();
    // The World tab is filled the first time the side bar comes out; after that
    // it keeps the page the user left it on.
    auto& tabs = form_.sideTabs();
    if (!tabs.sideBarFilled) {
        tabs.FillWorldTab();
        tabs.sideBarFilled = true;
    }
}

void Topics::sidepageTabActive(int index) {
    if (!onlineMode_)
        return;
    if (index == 1 && !newsTabChosen) {
        // The Aus News tab stays empty until first chosen; its hidden "Next Page"
        // button then shows the first page.
        auto& next = form_.get<ui::Button>("Button9");
        if (next.onClick)
            next.onClick();
        newsTabChosen = true;
    }
}

} // namespace browse
