#include "browse/SideTabs.h"

#include <nlohmann/json.hpp>

#include "catalogue/CatalogueServer.h"
#include "catalogue/VideoRows.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/PageControl.h"
#include "ui/Widgets.h"

namespace browse {

namespace {

constexpr int kRows = 16; ///< rows per side-tab page, and its slots

} // namespace

SideTabs::SideTabs(ui::Form& form, catalogue::CatalogueServer& server,
                   std::function<bool()> isOnline)
    : form_(form), server_(server), isOnline_(std::move(isOnline)),
      listQuery_(server.connection(), "qzrbackup"), tabQuery_(server.connection(), "halden") {
    makeTab(world_, 1, "suiTabSheet6", "videopic", "pic1.jpg", 3, true);
    makeTab(news_, 2, "suiTabSheet5", "newspic", "news1.jpg", 0, false);
    form_.get<ui::Button>("suiImageButton8").onClick = [this] { worldNextPage(); };
    form_.get<ui::Button>("suiImageButton10").onClick = [this] { worldPreviousPage(); };
    form_.get<ui::Button>("suiImageButton11").onClick = [this] { newsNextPage(); };
    // The hidden "Next Page" button does what the right strip does; choosing the
    // tab for the first time clicks it.
    form_.get<ui::Button>("Button9").onClick = [this] { newsNextPage(); };
    form_.get<ui::Button>("suiImageButton12").onClick = [this] { newsPreviousPage(); };
    form_.get<ui::SideChannel>("videosidebarslide").onPop = [this] { sideBarPoppedOut(); };
    form_.get<ui::PageControl>("sidepage").onTabActive = [this](int index) {
        sideTabChosen(index);
    };
    registerState();
}

void SideTabs::makeTab(Tab& tab, int entry, const std::string& sheet, const std::string& pic,
                       std::string file, int guardedSlots, bool firstByPosition) {
    tab.entry = entry;
    tab.sheet = &form_.get<ui::TabSheet>(sheet);
    for (int n = 1; n <= kRows; ++n)
        tab.images[static_cast<std::size_t>(n)] = &form_.get<ui::Image>(pic + std::to_string(n));
    tab.file = std::move(file);
    tab.guardedSlots = guardedSlots;
    tab.firstByPosition = firstByPosition;
}

void SideTabs::LoadSideTabs() {
    auto& q = listQuery_;
    q.close();
    q.setSql("Select * from sidetab");
    q.open();
    int i = 0;
    while (!q.eof()) {
        if (i < kSideTabs) {
            ++i;
            sideTabSql_[static_cast<std::size_t>(i)] = q.field("sidequery").text();
            sideTabCaption_[static_cast<std::size_t>(i)] = q.field("sidecaption").text();
        }
        q.next();
    }
}

void SideTabs::FillWorldTab() {
    server_.Bracket([this] { fill(world_); });
}

void SideTabs::FillNewsTab() {
    fill(news_);
}

void SideTabs::fill(Tab& tab) {
    const auto entry = static_cast<std::size_t>(tab.entry);
    auto& q = tabQuery_;
    // The stored query ends with LIMIT; the window follows it. Nothing is emptied
    // beforehand: a short page leaves the later slots as the previous page left them.
    tab.sheet->setCaption(sideTabCaption_[entry]);
    server_.RunQuery(q, sideTabSql_[entry] + " " + std::to_string(tab.offset) + "," +
                            std::to_string(kRows));

    catalogue::RowLoop(
        q, tab.table, kRows,
        [&](int n) {
            ui::Image& image = *tab.images[static_cast<std::size_t>(n)];
            image.setStretch(true);
            // One file serves every slot: it is written and read back at once.
            auto writeAndLoad = [&] {
                const db::Field picture = n == 1 && tab.firstByPosition
                                              ? q.field(catalogue::kPictureColumn)
                                              : q.field("pictureblob");
                picture.saveToFile(tab.file);
                image.loadFromFile(tab.file);
            };
            if (n <= tab.guardedSlots) {
                try {
                    writeAndLoad();
                } catch (const std::exception&) {
                    // Ignored on the tab's first slots: the slot keeps its previous
                    // picture and the fill goes on.
                }
            } else {
                writeAndLoad();
            }
            image.show();

            const catalogue::Item item = catalogue::itemByName(q);
            image.setHint(item.title);
            catalogue::copyTexts(item, tab.table.at(n));
        },
        [&] { return q.field("medialink").variantText(); });
}

void SideTabs::worldNextPage() {
    world_.offset += kRows;
    server_.Bracket([this] { FillWorldTab(); });
}

void SideTabs::worldPreviousPage() {
    if (world_.offset >= kRows)
        world_.offset -= kRows;
    server_.Bracket([this] { FillWorldTab(); });
}

void SideTabs::newsNextPage() {
    // The first next-page action shows the first page: the tab starts empty.
    if (!newsPaged_) {
        news_.offset = 0;
        newsPaged_ = true;
    } else {
        news_.offset += kRows;
    }
    server_.Bracket([this] { FillNewsTab(); });
}

void SideTabs::newsPreviousPage() {
    if (news_.offset >= kRows)
        news_.offset -= kRows;
    server_.Bracket([this] { FillNewsTab(); });
}

void SideTabs::sideBarPoppedOut() {
    if (!isOnline_())
        return;
    form_.get<ui::SideChannel>("videosidebarslide").bringToFront();
    // The World tab is filled the first time the side bar comes out; after that
    // it keeps the page the user left it on.
    if (!sideBarFilled_) {
        FillWorldTab();
        sideBarFilled_ = true;
    }
}

void SideTabs::sideTabChosen(int index) {
    if (!isOnline_())
        return;
    if (index == 2 && onBookmarksChosen) {
        onBookmarksChosen(); // the bookmark page, reloaded at every choice
        return;
    }
    if (index == 1 && !newsTabChosen_) {
        // The Aus News tab stays empty until first chosen; its hidden "Next Page"
        // button then shows the first page.
        newsNextPage();
        newsTabChosen_ = true;
    }
}

void SideTabs::registerState() const {
    auto& r = form_.app().state();
    auto entries = [](const std::array<std::string, kSideTabs + 1>& a) {
        return nlohmann::json(std::vector<std::string>(a.begin() + 1, a.end()));
    };
    r.add("sideTabSql", [this, entries] { return entries(sideTabSql_); });
    r.add("sideTabCaption", [this, entries] { return entries(sideTabCaption_); });
    r.add("worldSlots", [this] { return catalogue::slotsJson(world_.table); });
    r.add("newsSlots", [this] { return catalogue::slotsJson(news_.table); });
    r.add("worldOffset", [this] { return world_.offset; });
    r.add("newsOffset", [this] { return news_.offset; });
    r.add("newsPaged", [this] { return newsPaged_; });
    r.add("sideBarFilled", [this] { return sideBarFilled_; });
    r.add("newsTabChosen", [this] { return newsTabChosen_; });
    r.add("sideTabQueryOpen", [this] { return tabQuery_.isOpen(); });
}

} // namespace browse
