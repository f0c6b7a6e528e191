#include "browse/FeaturePages.h"

#include <stdexcept>

#include <nlohmann/json.hpp>

#include "browse/Thumbnail.h"
#include "browse/Topics.h"
#include "catalogue/CatalogueServer.h"
#include "catalogue/RowProblems.h"
#include "catalogue/VideoRows.h"
#include "search/SqlText.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/PageControl.h"
#include "ui/Utf8.h"
#include "ui/Widgets.h"

namespace browse {

namespace {

std::string number(int n) {
    return std::to_string(n);
}

constexpr int kWindow = 8; ///< rows per page

} // namespace

FeaturePages::FeaturePages(ui::Form& form, catalogue::CatalogueServer& server, const Topics& topics,
                           search::Exclusions exclusions)
    : form_(form), server_(server), topics_(topics), exclusions_(std::move(exclusions)),
      pageQuery_(server.connection(), "halden"), resultQuery_(server.connection(), "halden"),
      resultsLabel_(form.get<ui::Label>("resultsLabel")),
      noResults_(form.get<ui::Label>("NoResults")) {
    feature_.sheet = &form.get<ui::TabSheet>("suiTabSheet8");
    feature_.topics = &topics.featureTopics();
    feature_.file = "fea1.jpg";
    special_.sheet = &form.get<ui::TabSheet>("suiTabSheet9");
    special_.topics = &topics.specialTopics();
    special_.file = "spec1.jpg";
    for (int n = 1; n <= kWindow; ++n) {
        const auto i = static_cast<std::size_t>(n);
        feature_.slots[i] = {&form.get<ui::Image>("featurepic" + number(n)),
                             &form.get<ui::CaptionPanel>("featurepic" + number(n) + "caption"),
                             &form.get<ui::Memo>("featurepic" + number(n) + "memo")};
        special_.slots[i] = {&form.get<ui::Image>("specialpic" + number(n)),
                             &form.get<ui::CaptionPanel>("specialcaption" + number(n)),
                             &form.get<ui::Memo>("specialpicmemo" + number(n))};
    }
    bindHandlers();
    registerState();
}

void FeaturePages::bindHandlers() {
    for (int n = 1; n <= 12; ++n) {
        form_.get<ui::Button>("querybutton" + number(n)).onClick = [this, n] {
            showFeatureTopic(n);
        };
        form_.get<ui::Button>("Specialbutton" + number(n)).onClick = [this, n] {
            showSpecialTopic(n);
        };
    }
    form_.get<ui::Button>("suiImageButton7").onClick = [this] { featureNextPage(); };
    form_.get<ui::Button>("suiImageButton6").onClick = [this] { featurePreviousPage(); };
    form_.get<ui::Button>("suiImageButton5").onClick = [this] { specialNextPage(); };
    form_.get<ui::Button>("suiImageButton4").onClick = [this] { specialPreviousPage(); };
    auto& webNews = form_.get<ui::Button>("suiButton5");
    webNews.onClick = [this] { newestBackOnePage(); };
    webNews.onMouseEnter = [&webNews] { webNews.setFontColour(ui::colours::black); };
    webNews.onMouseLeave = [&webNews] { webNews.setFontColour({128, 128, 128}); };
}

void FeaturePages::showFeatureTopic(int n, catalogue::RowProblems* problems) {
    // The eleventh button waits while the topic list is being loaded.
    if (n == 11 && topics_.featureListOpen())
        return;
    // The topic changes once the connection is made: a lost catalogue changes nothing.
    server_.Bracket([this, n, problems] {
        feature_.offset = 0;
        feature_.topicIndex = n - 1;
        FillFeaturePage(PageMode::NextTopic, problems);
    });
}

void FeaturePages::showSpecialTopic(int n, catalogue::RowProblems* problems) {
    server_.Bracket([this, n, problems] {
        special_.offset = 0;
        special_.topicIndex = n - 1;
        FillSpecialPage(PageMode::NextTopic, problems);
    });
}

void FeaturePages::showResultStatement(const std::string& caption, std::string base) {
    feature_.sheet->setCaption(caption);
    resultQueryOffset_ = 0;
    resultQueryBase_ = std::move(base);
    FillResultPage(resultPageSql());
}

void FeaturePages::showSearchResults(std::string base) {
    resultQueryOffset_ = 0;
    resultQueryBase_ = std::move(base);
    FillResultPage(resultQueryBase_ + "0, 8");
}

void FeaturePages::startLibrarySearch(bool popular, bool endResultQuery) {
    if (endResultQuery)
        resultQueryShown_ = false;
    imageSearchActive_ = true;
    imageSearchPopular_ = popular;
    server_.Bracket([this, popular] {
        FillFeaturePage(popular ? PageMode::LibrarySearch : PageMode::LibrarySearchRecent);
    });
}

void FeaturePages::featureNextPage() {
    if (resultQueryShown_) {
        resultQueryOffset_ += kWindow;
        FillResultPage(resultPageSql());
    } else if (!pageQuery_.isOpen()) {
        server_.Bracket([this] { FillFeaturePage(PageMode::NextPage); });
    }
}

void FeaturePages::featurePreviousPage() {
    if (resultQueryShown_) {
        if (resultQueryOffset_ >= kWindow) {
            resultQueryOffset_ -= kWindow;
            FillResultPage(resultPageSql());
        }
    } else if (!pageQuery_.isOpen()) {
        server_.Bracket([this] { FillFeaturePage(PageMode::PreviousPage); });
    }
}

void FeaturePages::specialNextPage() {
    if (!topics_.specialListOpen())
        server_.Bracket([this] { FillSpecialPage(PageMode::NextPage); });
}

void FeaturePages::specialPreviousPage() {
    if (!topics_.specialListOpen())
        server_.Bracket([this] { FillSpecialPage(PageMode::PreviousPage); });
}

void FeaturePages::newestBackOnePage() {
    if (!pageQuery_.isOpen())
        server_.Bracket([this] { FillFeaturePage(PageMode::PreviousPage); });
}

std::string FeaturePages::resultPageSql() const {
    return resultQueryBase_ + " " + number(resultQueryOffset_) + ", 8";
}

void FeaturePages::clearSlots(Page& page, bool pictures) {
    for (int n = 1; n <= kWindow; ++n) {
        auto& item = page.table.at(n);
        item.description.clear();
        item.siteUrl.clear();
        const Slot& s = page.slots[static_cast<std::size_t>(n)];
        s.caption->setCaption("");
        s.memo->clear();
        s.image->setHint("");
        if (pictures)
            s.image->clearPicture();
    }
}

void FeaturePages::clearPictures(Page& page) {
    for (int n = 1; n <= kWindow; ++n)
        page.slots[static_cast<std::size_t>(n)].image->clearPicture();
}

void FeaturePages::runTopic(Page& page) {
    const auto i = static_cast<std::size_t>(page.topicIndex);
    page.sheet->setCaption(page.topics->caption[i]);
    server_.RunQuery(pageQuery_, page.topics->sql[i] + " LIMIT " + pageOffsetText_ + ",8");
}

void FeaturePages::runTopicWindow(Page& page, PageMode mode, void (FeaturePages::*searchWindow)()) {
    if (mode == PageMode::NextTopic) {
        searchResultsShown_ = false;
        pageOffsetText_ = number(page.offset);
        ++page.topicIndex;
        if (page.topicIndex > page.topics->count || page.topicIndex > TopicList::kCapacity)
            page.topicIndex = 1;
        runTopic(page);
        return;
    }
    if (mode == PageMode::NextPage)
        page.offset += kWindow;
    else if (page.offset >= kWindow)
        page.offset -= kWindow;
    pageOffsetText_ = number(page.offset);
    if (searchResultsShown_) {
        (this->*searchWindow)();
        return;
    }
    // Paging before any topic was chosen has no topic to show.
    if (page.topicIndex < 1 || page.topicIndex > TopicList::kCapacity)
        page.topicIndex = 1;
    runTopic(page);
}

void FeaturePages::featureSearchWindow() {
    clearPictures(feature_);
    imageSearchSql_.tail =
        search::BuildLibraryTail(imageSearchPopular_, pageOffsetText_, exclusions_);
    server_.RunQuery(pageQuery_, imageSearchSql_.statement());
}

void FeaturePages::specialSearchWindow() {
    // The Special Interest page pages a LIKE search of the box text while a
    // library search is shown. The text is escaped for its double-quoted
    // literals, so a quote in the box no longer breaks the statement.
    const std::string& box = form_.get<ui::Edit>("sqlsearchedit").text();
    const std::string text = search::escapeLikeText(box);
    special_.sheet->setCaption(box);
    server_.RunQuery(pageQuery_,
                     "SELECT * FROM videosnap WHERE (rssitemtitle  Like \"%" + text +
                         "%\" or rssdesc Like \"%" + text +
                         "%\") AND (rsseditor NOT LIKE \"MTV Video\"  AND rsseditor NOT LIKE "
                         "\"SINGINGFOOL\") ORDER BY datetimevalue DESC LIMIT " +
                         pageOffsetText_ + ",8");
}

void FeaturePages::FillFeaturePage(PageMode mode, catalogue::RowProblems* problems) {
    resultQueryShown_ = false;
    resultsLabel_.hide();
    noResults_.hide();
    clearSlots(feature_, false);

    if (mode == PageMode::LibrarySearch || mode == PageMode::LibrarySearchRecent) {
        searchResultsShown_ = true;
        clearPictures(feature_);
        feature_.offset = 0;
        pageOffsetText_ = "0";
        imageSearchSql_ = search::BuildLibrarySearch(form_.get<ui::Edit>("sqlsearchedit").text(),
                                                     mode == PageMode::LibrarySearch,
                                                     pageOffsetText_, exclusions_);
        server_.RunQuery(pageQuery_, imageSearchSql_.statement());
    } else {
        if (mode == PageMode::NextTopic)
            imageSearchActive_ = false;
        runTopicWindow(feature_, mode, &FeaturePages::featureSearchWindow);
    }
    fillRows(feature_, problems);
}

void FeaturePages::FillSpecialPage(PageMode mode, catalogue::RowProblems* problems) {
    if (mode == PageMode::LibrarySearch || mode == PageMode::LibrarySearchRecent)
        throw std::invalid_argument("the Special Interest page has no library search");
    clearSlots(special_, true);
    runTopicWindow(special_, mode, &FeaturePages::specialSearchWindow);
    fillRows(special_, problems);
}

void FeaturePages::fillRows(Page& page, catalogue::RowProblems* problems) {
    catalogue::RowLoop(
        pageQuery_, page.table, kWindow,
        [&](int n) {
            const Slot& s = page.slots[static_cast<std::size_t>(n)];
            try {
                catalogue::SaveThumbnail(pageQuery_, page.file);
                showThumbnail(*s.image, page.file);
            } catch (const std::exception& e) {
                if (!problems)
                    throw;
                // The slot shows its texts without a picture.
                problems->add(e.what());
                s.image->clearPicture();
                s.image->show();
            }
            auto& item = page.table.at(n);
            catalogue::copyTexts(catalogue::itemByPosition(pageQuery_), item);
            s.image->setHint(item.title);
            s.caption->setCaption(ui::utf8::left(item.title, 21));
            s.memo->setText(item.description);
            s.caption->push();
            s.caption->show();
        },
        [&] { return pageQuery_.field(catalogue::kMediaLinkColumn).variantText(); });
}

void FeaturePages::FillResultPage(const std::string& sql) {
    server_.Bracket([&] {
        noResults_.hide();
        resultsLabel_.hide();
        for (int n = 1; n <= kWindow; ++n) {
            feature_.slots[static_cast<std::size_t>(n)].image->hide();
            feature_.slots[static_cast<std::size_t>(n)].caption->hide();
        }
        auto& q = resultQuery_;
        q.close();
        q.setSql(sql);
        q.open();
        resultQueryShown_ = true;

        const int rows = catalogue::RowLoop(
            q, feature_.table, catalogue::SlotTable::kCapacity,
            [&](int n) {
                auto& item = feature_.table.at(n);
                catalogue::copyTexts(catalogue::itemByPosition(q), item);
                if (n > kWindow)
                    return;
                const Slot& s = feature_.slots[static_cast<std::size_t>(n)];
                const std::string file = "fea" + number(n) + ".jpg";
                catalogue::SaveThumbnail(q, file);
                showThumbnail(*s.image, file);
                s.image->setHint(item.title);
                s.caption->setCaption(ui::utf8::left(item.title, 21));
                s.memo->setText(item.description);
                s.caption->push();
                s.caption->show();
            },
            [&] { return q.field(catalogue::kMediaLinkColumn).text(); });

        if (rows == 0) {
            noResults_.setCaption("No Results on " + form_.get<ui::Edit>("sqlsearchedit").text());
            noResults_.show();
        } else {
            resultsLabel_.setCaption("Pages " + number(resultQueryOffset_) + " - " +
                                     number(resultQueryOffset_ + rows));
            resultsLabel_.show();
        }
    });
}

void FeaturePages::registerState() const {
    auto& r = form_.app().state();
    r.add("featureSlots", [this] { return catalogue::slotsJson(feature_.table); });
    r.add("specialSlots", [this] { return catalogue::slotsJson(special_.table); });
    r.add("featureOffset", [this] { return feature_.offset; });
    r.add("specialOffset", [this] { return special_.offset; });
    r.add("featureTopicIndex", [this] { return feature_.topicIndex; });
    r.add("specialTopicIndex", [this] { return special_.topicIndex; });
    r.add("pageOffsetText", [this] { return pageOffsetText_; });
    r.add("searchResultsShown", [this] { return searchResultsShown_; });
    r.add("imageSearchActive", [this] { return imageSearchActive_; });
    r.add("imageSearchPopular", [this] { return imageSearchPopular_; });
    r.add("imageSearchSql", [this] {
        return nlohmann::json{{"head", imageSearchSql_.head},
                              {"middle", imageSearchSql_.middle},
                              {"tail", imageSearchSql_.tail}};
    });
    r.add("resultQueryShown", [this] { return resultQueryShown_; });
    r.add("resultQueryOffset", [this] { return resultQueryOffset_; });
    r.add("resultQueryBase", [this] { return resultQueryBase_; });
    r.add("pageQueryOpen", [this] { return pageQuery_.isOpen(); });
}

} // namespace browse
