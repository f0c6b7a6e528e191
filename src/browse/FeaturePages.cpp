#include "browse/FeaturePages.h"

#include "app/Tmainform.h"
#include "catalogue/Catalogue.h"
#include "search/SqlText.h"
#include "ui/Image.h"
#include "ui/PageControl.h"
#include "ui/Utf8.h"
#include "ui/Widgets.h"

namespace browse {

namespace {

// Column positions of a `SELECT *` row of videosnap.
constexpr int kFeedTitle = 0;
constexpr int kSite = 5;
constexpr int kTitle = 8;
constexpr int kMediaLink = 16;
constexpr int kMediaType = 17;
constexpr int kRecnum = 20;

std::string number(int n) { return std::to_string(n); }

} // namespace

FeaturePages::FeaturePages(app::Tmainform& form, catalogue::Catalogue& catalogue,
                           search::Exclusions exclusions)
    : form_(form), catalogue_(catalogue), exclusions_(std::move(exclusions)),
      featureSheet_(form.get<ui::TabSheet>("suiTabSheet8")),
      specialSheet_(form.get<ui::TabSheet>("suiTabSheet9")),
      resultsLabel_(form.get<ui::Label>("resultsLabel")), noResults_(form.get<ui::Label>("NoResults")) {
    for (int n = 1; n <= 8; ++n) {
        const auto i = static_cast<std::size_t>(n);
        feature_[i] = {&form.get<ui::Image>("featurepic" + number(n)),
                       &form.get<ui::CaptionPanel>("featurepic" + number(n) + "caption"),
                       &form.get<ui::Memo>("featurepic" + number(n) + "memo")};
        special_[i] = {&form.get<ui::Image>("specialpic" + number(n)),
                       &form.get<ui::CaptionPanel>("specialcaption" + number(n)),
                       &form.get<ui::Memo>("specialpicmemo" + number(n))};
    }
    bindHandlers();
}

void FeaturePages::bindHandlers() {
    auto& c = catalogue_;
    // Newest Videos, upper arrow strip: next page.
    form_.get<ui::Button>("suiImageButton7").onClick = [this, &c] {
        if (resultQueryShown) {
            resultQueryOffset += 8;
            FillResultPage(resultPageSql());
        } else if (!c.featuremysqlpic.isOpen()) {
            c.Bracket([this] { FillFeaturePage("getnextpage"); });
        }
    };
    // Newest Videos, lower arrow strip: previous page.
    form_.get<ui::Button>("suiImageButton6").onClick = [this, &c] {
        if (resultQueryShown) {
            if (resultQueryOffset >= 8) {
                resultQueryOffset -= 8;
                FillResultPage(resultPageSql());
            }
        } else if (!c.featuremysqlpic.isOpen()) {
            c.Bracket([this] { FillFeaturePage("getpreviouspage"); });
        }
    };
    form_.get<ui::Button>("suiImageButton5").onClick = [this, &c] {
        if (!c.myspecialvideos.isOpen())
            c.Bracket([this] { FillSpecialPage("getnextpage"); });
    };
    form_.get<ui::Button>("suiImageButton4").onClick = [this, &c] {
        if (!c.myspecialvideos.isOpen())
            c.Bracket([this] { FillSpecialPage("getpreviouspage"); });
    };
    auto& webNews = form_.get<ui::Button>("suiButton5");
    webNews.onClick = [this, &c] {
        if (!c.featuremysqlpic.isOpen())
            c.Bracket([this] { FillFeaturePage("getpreviouspage"); });
    };
    webNews.onMouseEnter = [&webNews] { webNews.setFontColour(ui::colours::black); };
    webNews.onMouseLeave = [&webNews] { webNews.setFontColour({128, 128, 128}); };
}

std::string FeaturePages::resultPageSql() const {
    return resultQueryBase + " " + number(resultQueryOffset) + ", 8";
}

void FeaturePages::clearFeatureTexts() {
    for (int n = 1; n <= 8; ++n) {
        auto& item = catalogue_.featureSlots.at(n);
        item.description.clear();
        item.siteUrl.clear();
        const auto& s = feature_[static_cast<std::size_t>(n)];
        s.caption->setCaption("");
        s.memo->clear();
        s.image->setHint("");
    }
}

void FeaturePages::fillRows(std::array<Slot, 9>& slots, catalogue::SlotTable& table, const std::string& file) {
    auto& q = catalogue_.featuremysqlpic;
    catalogue_.RowLoop(
        q, table, 8,
        [&](int n) {
            const auto& s = slots[static_cast<std::size_t>(n)];
            catalogue_.SaveThumbnail(q, *s.image, file);
            s.image->setHint(q.field(kTitle).text());
            auto& item = table.at(n);
            item.description = q.field(kTitle).text();
            item.siteUrl = q.field(kSite).text();
            item.mediaType = q.field(kMediaType).text();
            item.recnum = q.field(kRecnum).text();
            item.feedTitle = q.field(kFeedTitle).text();
            item.title = q.field(kTitle).text();
            s.caption->setCaption(ui::utf8::left(s.image->hint(), 21));
            s.memo->setText(item.description);
            s.caption->push();
            s.caption->show();
        },
        [&] { return q.field(kMediaLink).variantText(); });
}

void FeaturePages::FillFeaturePage(std::string_view mode) {
    resultQueryShown = false;
    resultsLabel_.hide();
    noResults_.hide();
    clearFeatureTexts();

    auto clearPictures = [this] {
        for (int n = 1; n <= 8; ++n)
            feature_[static_cast<std::size_t>(n)].image->clearPicture();
    };
    auto topicSql = [this] {
        return featureTopics.sql[static_cast<std::size_t>(featureTopicIndex)] + " LIMIT " + pageOffsetText + ",8";
    };
    auto showTopicCaption = [this] {
        featureSheet_.setCaption(featureTopics.caption[static_cast<std::size_t>(featureTopicIndex)]);
    };
    auto& q = catalogue_.featuremysqlpic;

    if (mode == "getnextquery") {
        imageSearchActive = false;
        searchResultsShown = false;
        pageOffsetText = number(featureOffset);
        ++featureTopicIndex;
        if (featureTopicIndex > featureTopics.count || featureTopicIndex > TopicList::kCapacity)
            featureTopicIndex = 1;
        showTopicCaption();
        catalogue_.RunQuery(q, topicSql());
    } else if (mode == "getnextpage" || mode == "getpreviouspage") {
        if (mode == "getnextpage")
            featureOffset += 8;
        else if (featureOffset >= 8)
            featureOffset -= 8;
        pageOffsetText = number(featureOffset);
        if (!searchResultsShown) {
            // Paging before any topic was chosen has no topic to show.
            if (featureTopicIndex < 1 || featureTopicIndex > TopicList::kCapacity)
                featureTopicIndex = 1;
            showTopicCaption();
            catalogue_.RunQuery(q, topicSql());
        } else {
            clearPictures();
            imageSearchSqlTail = search::BuildLibraryTail(imageSearchPopular, pageOffsetText, exclusions_);
            catalogue_.RunQuery(q, imageSearchSqlHead + imageSearchSqlMiddle + imageSearchSqlTail);
        }
    } else if (mode == "videosnapsearch" || mode == "videosnapsearchrecent") {
        searchResultsShown = true;
        clearPictures();
        featureOffset = 0;
        pageOffsetText = "0";
        const auto s = search::BuildLibrarySearch(form_.get<ui::Edit>("sqlsearchedit").text(),
                                                  mode == "videosnapsearch", pageOffsetText, exclusions_);
        imageSearchSqlHead = s.head;
        imageSearchSqlMiddle = s.middle;
        imageSearchSqlTail = s.tail;
        catalogue_.RunQuery(q, s.statement());
    } else {
        throw std::invalid_argument("unknown page mode '" + std::string(mode) + "'");
    }
    fillRows(feature_, catalogue_.featureSlots, "fea1.jpg");
}

void FeaturePages::FillSpecialPage(std::string_view mode) {
    for (int n = 1; n <= 8; ++n) {
        auto& item = catalogue_.specialSlots.at(n);
        item.description.clear();
        item.siteUrl.clear();
        const auto& s = special_[static_cast<std::size_t>(n)];
        s.caption->setCaption("");
        s.memo->clear();
        s.image->setHint("");
        s.image->clearPicture();
    }
    auto& q = catalogue_.featuremysqlpic;
    auto topicSql = [this] {
        return specialTopics.sql[static_cast<std::size_t>(specialTopicIndex)] + " LIMIT " + pageOffsetText + ",8";
    };

    if (mode == "getnextquery") {
        searchResultsShown = false;
        pageOffsetText = number(specialOffset);
        ++specialTopicIndex;
        if (specialTopicIndex > specialTopics.count || specialTopicIndex > TopicList::kCapacity)
            specialTopicIndex = 1;
        specialSheet_.setCaption(specialTopics.caption[static_cast<std::size_t>(specialTopicIndex)]);
        catalogue_.RunQuery(q, topicSql());
    } else if (mode == "getnextpage" || mode == "getpreviouspage") {
        if (mode == "getnextpage")
            specialOffset += 8;
        else if (specialOffset >= 8)
            specialOffset -= 8;
        pageOffsetText = number(specialOffset);
        if (!searchResultsShown) {
            if (specialTopicIndex < 1 || specialTopicIndex > TopicList::kCapacity)
                specialTopicIndex = 1;
            specialSheet_.setCaption(specialTopics.caption[static_cast<std::size_t>(specialTopicIndex)]);
            catalogue_.RunQuery(q, topicSql());
        } else {
            // The Special Interest page pages a LIKE search of the box text while a
            // library search is shown. The text is escaped for its double-quoted
            // literals, so a quote in the box no longer breaks the statement.
            const std::string& box = form_.get<ui::Edit>("sqlsearchedit").text();
            const std::string text = search::escapeLikeText(box);
            specialSheet_.setCaption(box);
            catalogue_.RunQuery(
                q, "SELECT * FROM videosnap WHERE (rssitemtitle  Like \"%" + text + "%\" or rssdesc Like \"%" +
                       text +
                       "%\") AND (rsseditor NOT LIKE \"MTV Video\"  AND rsseditor NOT LIKE \"SINGINGFOOL\") "
                       "ORDER BY datetimevalue DESC LIMIT " +
                       pageOffsetText + ",8");
        }
    } else {
        throw std::invalid_argument("unknown page mode '" + std::string(mode) + "'");
    }
    fillRows(special_, catalogue_.specialSlots, "spec1.jpg");
}

void FeaturePages::FillResultPage(const std::string& sql) {
    catalogue_.Bracket([&] {
        noResults_.hide();
        resultsLabel_.hide();
        for (int n = 1; n <= 8; ++n) {
            feature_[static_cast<std::size_t>(n)].image->hide();
            feature_[static_cast<std::size_t>(n)].caption->hide();
        }
        auto& q = catalogue_.CatSQL;
        q.close();
        q.setSql(sql);
        q.open();
        resultQueryShown = true;

        const int rows = catalogue_.RowLoop(
            q, catalogue_.featureSlots, catalogue::SlotTable::kCapacity,
            [&](int n) {
                auto& item = catalogue_.featureSlots.at(n);
                item.title = q.field(kTitle).text();
                item.description = item.title;
                item.siteUrl = q.field(kSite).text();
                item.mediaType = q.field(kMediaType).text();
                item.recnum = q.field(kRecnum).text();
                item.feedTitle = q.field(kFeedTitle).text();
                if (n > 8)
                    return;
                const auto& s = feature_[static_cast<std::size_t>(n)];
                catalogue_.SaveThumbnail(q, *s.image, "fea" + number(n) + ".jpg");
                s.image->setHint(item.title);
                s.caption->setCaption(ui::utf8::left(s.image->hint(), 21));
                s.memo->setText(item.description);
                s.caption->push();
                s.caption->show();
            },
            [&] { return q.field(kMediaLink).text(); });

        if (rows == 0) {
            noResults_.setCaption("No Results on " + form_.get<ui::Edit>("sqlsearchedit").text());
            noResults_.show();
        } else {
            resultsLabel_.setCaption("Pages " + number(resultQueryOffset) + " - " + number(resultQueryOffset + rows));
            resultsLabel_.show();
        }
    });
}

} // namespace browse
