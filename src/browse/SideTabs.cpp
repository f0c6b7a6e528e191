#include "browse/SideTabs.h"

#include "app/Tmainform.h"
#include "browse/Topics.h"
#include "catalogue/Catalogue.h"
#include "ui/Image.h"
#include "ui/PageControl.h"
#include "ui/Widgets.h"

namespace browse {

namespace {

constexpr int kRows = 16; ///< rows per side-tab page, and its slots

} // namespace

SideTabs::SideTabs(app::Tmainform& form, catalogue::Catalogue& catalogue, const Topics& topics)
    : form_(form), catalogue_(catalogue), topics_(topics),
      world_(makeTab(1, "suiTabSheet6", "videopic", catalogue.worldSlots, "pic1.jpg", 3, true)),
      news_(makeTab(2, "suiTabSheet5", "newspic", catalogue.newsSlots, "news1.jpg", 0, false)) {
    form_.get<ui::Button>("suiImageButton8").onClick = [this] { suiImageButton8Click(); };
    form_.get<ui::Button>("suiImageButton10").onClick = [this] { suiImageButton10Click(); };
    form_.get<ui::Button>("suiImageButton11").onClick = [this] { suiImageButton11Click(); };
    // Button9Click: the hidden "Next Page" button does what the right strip does;
    // choosing the tab for the first time clicks it.
    form_.get<ui::Button>("Button9").onClick = [this] { suiImageButton11Click(); };
    form_.get<ui::Button>("suiImageButton12").onClick = [this] { suiImageButton12Click(); };
}

SideTabs::Tab SideTabs::makeTab(int entry, const std::string& sheet, const std::string& pic,
                                catalogue::SlotTable& slots, std::string file, int guardedSlots,
                                bool firstByPosition) {
    Tab tab{entry, &form_.get<ui::TabSheet>(sheet), {}, &slots, std::move(file), guardedSlots, firstByPosition};
    for (int n = 1; n <= kRows; ++n)
        tab.images[static_cast<std::size_t>(n)] = &form_.get<ui::Image>(pic + std::to_string(n));
    return tab;
}

void SideTabs::FillWorldTab() {
    catalogue_.Bracket([this] { fill(world_, worldOffset); });
}

void SideTabs::FillNewsTab() { fill(news_, newsOffset); }

void SideTabs::fill(const Tab& tab, int offset) {
    const auto entry = static_cast<std::size_t>(tab.entry);
    auto& q = catalogue_.pelorapicsmysql;
    // The stored query ends with LIMIT; the window follows it. Nothing is emptied
    // beforehand: a short page leaves the later slots as the previous page left them.
    tab.sheet->setCaption(topics_.sideTabCaption[entry]);
    catalogue_.RunQuery(q, topics_.sideTabSql[entry] + " " + std::to_string(offset) + "," + std::to_string(kRows));

    catalogue_.RowLoop(
        q, *tab.slots, kRows,
        [&](int n) {
            ui::Image& image = *tab.images[static_cast<std::size_t>(n)];
            image.setStretch(true);
            // One file serves every slot: it is written and read back at once.
            auto writeAndLoad = [&] {
                const db::Field picture = n == 1 && tab.firstByPosition
                                              ? q.field(catalogue::Catalogue::kPictureColumn)
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

            image.setHint(q.field("rssitemtitle").text());
            auto& item = tab.slots->at(n);
            item.description = q.field("rssdesc").text();
            item.siteUrl = q.field("rssurl").text();
            item.mediaType = q.field("mediatype").text();
            item.recnum = q.field("recnum").text();
            item.feedTitle = q.field("rsstitle").text();
            item.title = q.field("rssitemtitle").text();
        },
        [&] { return q.field("medialink").variantText(); });
}

void SideTabs::suiImageButton8Click() {
    worldOffset += kRows;
    catalogue_.Bracket([this] { FillWorldTab(); });
}

void SideTabs::suiImageButton10Click() {
    if (worldOffset >= kRows)
        worldOffset -= kRows;
    catalogue_.Bracket([this] { FillWorldTab(); });
}

void SideTabs::suiImageButton11Click() {
    // The first next-page action shows the first page: the tab starts empty.
    if (!newsPaged) {
        newsOffset = 0;
        newsPaged = true;
    } else {
        newsOffset += kRows;
    }
    catalogue_.Bracket([this] { FillNewsTab(); });
}

void SideTabs::suiImageButton12Click() {
    if (newsOffset >= kRows)
        newsOffset -= kRows;
    catalogue_.Bracket([this] { FillNewsTab(); });
}

} // namespace browse
