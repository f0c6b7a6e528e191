#include "search/TextGrid.h"

#include <nlohmann/json.hpp>

#include "browse/SlotBehaviour.h"
#include "catalogue/CatalogueServer.h"
#include "catalogue/Selection.h"
#include "db/Error.h"
#include "search/ImageStatements.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/StringGrid.h"
#include "ui/Widgets.h"

namespace search {

namespace {

constexpr std::array<const char*, TextGrid::kGridCols> kHeaders = {
    " # ", " Description ", " Extended ", " Catergory ", " Source "};
constexpr std::array<int, TextGrid::kGridCols> kColWidths = {29, 237, 192, 120, 126};
constexpr int kRowHeight = 24;
constexpr ui::Colour kGridBackground{128, 128, 128};

// How far right of the pointer the two menus of this page open.
constexpr int kSearchMenuShift = 15;
constexpr int kGridMenuShift = 70;

std::string withoutTrailingBlanks(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && static_cast<unsigned char>(text[end - 1]) <= 0x20)
        --end;
    return std::string(text.substr(0, end));
}

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

TextGrid::TextGrid(ui::Form& form, catalogue::CatalogueServer& server, browse::SlotBehaviour& slots,
                   catalogue::Selection& selection, Exclusions exclusions,
                   std::function<const TextSearchPieces&()> textPieces)
    : form_(form), server_(server), slots_(slots), selection_(selection),
      exclusions_(std::move(exclusions)), textPieces_(std::move(textPieces)),
      grid_(form.get<ui::StringGrid>("stringgrid")), box_(form.get<ui::Edit>("sqlsearchedit")),
      popular_(form.get<ui::RadioButton>("mostpopularchecked")),
      pages_(form.get<ui::PageControl>("suiPageControl1")),
      sheet_(form.get<ui::TabSheet>("suiTabSheet1")), picture_(form.get<ui::Image>("suiDBImage1")),
      memo_(form.get<ui::Memo>("sqlvideomemo")), visitSite_(form.get<ui::MenuItem>("VisitSite1")),
      count_(form.get<ui::Label>("Label9")), searchQuery_(server.connection(), "halden"),
      pictureQuery_(server.connection(), "halden"), countQuery_(server.connection(), "halden") {
    grid_.setSize(kGridCols, kGridRows);
    grid_.setFixedRows(1);
    for (int col = 0; col < kGridCols; ++col)
        grid_.setColWidth(col, kColWidths[static_cast<std::size_t>(col)]);
    grid_.setDefaultRowHeight(kRowHeight);
    grid_.setFontColour(ui::colours::white);
    grid_.setColour(kGridBackground);
    slots_.readTextRowsFrom(textResults_);
    bindHandlers();
    registerState();
}

void TextGrid::bindHandlers() {
    auto& phrase = form_.get<ui::Button>("sqlsearchbutton");
    phrase.onClick = [this] { phraseSearch(); };
    phrase.onMouseDown = [&phrase, this](ui::MouseButton, int x, int y) {
        const auto [sx, sy] = ui::screenPosition(phrase, x, y);
        form_.get<ui::Menu>("searchtypepopup").popup(sx + kSearchMenuShift, sy);
    };
    form_.get<ui::Button>("textSearch").onClick = [this] { textSearch(); };
    form_.get<ui::MenuItem>("extMethodBoth1").onClick = [this] { textSearchFromStart(); };
    form_.get<ui::MenuItem>("SearchPopular1").onClick = [this] { popularSearch(); };
    form_.get<ui::MenuItem>("SearchLatest1").onClick = [this] { latestSearch(); };
    form_.get<ui::Button>("nexttext").onClick = [this] { nextPage(); };
    form_.get<ui::MenuItem>("NextPage1").onClick = [this] { nextPage(); };
    form_.get<ui::Button>("backtext").onClick = [this] { previousPage(); };
    form_.get<ui::MenuItem>("PrevoiusPage1").onClick = [this] { previousPage(); };
    grid_.onSelectCell = [this](int col, int row, bool&) { selectCell(col, row); };
    grid_.onMouseUp = [this](ui::MouseButton, int x, int y) {
        // Any button: a plain left click selects the row and opens the menu.
        const auto [sx, sy] = ui::screenPosition(grid_, x, y);
        form_.get<ui::Menu>("videopopup").popup(sx + kGridMenuShift, sy);
    };
    form_.get<ui::Button>("lookforimage").onClick = [this] { lookForImage(); };
    form_.get<ui::MenuItem>("ShowVideoImage1").onClick = [this] { showVideoImage(); };
    form_.get<ui::Button>("suiButton6").onClick = [this] { countRecords(false); };
    form_.get<ui::MenuItem>("RefreshRecordCount1").onClick = [this] { countRecords(false); };
    form_.get<ui::MenuItem>("ShowTotalVideos1").onClick = [this] { countRecords(true); };
}

bool TextGrid::popularChecked() const {
    return popular_.checked();
}

void TextGrid::phraseSearch() {
    const std::string box = box_.text();
    fill("Search " + lowerAscii(withoutTrailingBlanks(box)),
         PhraseSearchStatement(box, exclusions_), Read::ByName, true);
}

void TextGrid::textSearch() {
    if (box_.font().colour == ui::colours::silver || box_.text().empty())
        return;
    textSearchFromStart();
}

void TextGrid::textSearchFromStart() {
    if (popularChecked()) {
        popularTextOffset_ = 0;
        popularSearch();
    } else {
        latestTextOffset_ = 0;
        latestSearch();
    }
}

void TextGrid::popularSearch() {
    const std::string box = box_.text();
    fill("Search " + plainTermsText(box),
         PopularTextStatement(box, popularTextOffset_, exclusions_), Read::ByPosition, false);
}

void TextGrid::latestSearch() {
    // The stored result query of the Newest Videos page is not this search's to
    // change: that page may still be paging through it.
    const std::string box = box_.text();
    fill("Results on " + box, LatestTextStatement(box, latestTextOffset_, textPieces_()),
         Read::ByPosition, false);
}

void TextGrid::nextPage() {
    int& offset = popularChecked() ? popularTextOffset_ : latestTextOffset_;
    offset += kPage;
    popularChecked() ? popularSearch() : latestSearch();
}

void TextGrid::previousPage() {
    int& offset = popularChecked() ? popularTextOffset_ : latestTextOffset_;
    offset -= kPage;
    if (offset < 0) {
        offset = 0;
        return;
    }
    popularChecked() ? popularSearch() : latestSearch();
}

void TextGrid::fill(const std::string& caption, const std::string& sql, Read read,
                    bool ignoreRefusal) {
    server_.Bracket([&] {
        sheet_.setCaption(caption);
        pages_.activatePage(pages_.indexOf(sheet_));
        if (ignoreRefusal) {
            catalogue::CatalogueServer::RunQuery(searchQuery_, sql);
        } else {
            searchQuery_.close();
            searchQuery_.setSql(sql);
            // A refused statement ends the search here: the grid keeps its rows.
            searchQuery_.open();
        }

        for (int col = 0; col < kGridCols; ++col)
            grid_.setCell(col, 0, kHeaders[static_cast<std::size_t>(col)]);
        for (int row = 1; row <= kCapacity; ++row) {
            grid_.setCell(0, row, std::to_string(row));
            for (int col = 1; col < kGridCols; ++col)
                grid_.setCell(col, row, "");
        }
        // Every value of every row goes, not only the link and the source, so a
        // row past this search's results selects nothing of an earlier search.
        textResults_.fill(catalogue::Item{});
        textResultCount_ = 0;
        grid_.setCell(1, 1, kPlaceholder);

        auto& q = searchQuery_;
        const auto text = [&](const char* name, int position) {
            return read == Read::ByName ? q.field(name).text() : q.field(position).text();
        };
        for (; q.isOpen() && !q.eof() && textResultCount_ < kCapacity; q.next()) {
            const int r = ++textResultCount_;
            grid_.setCell(1, r, text("rssitemtitle", 0));
            grid_.setCell(2, r, text("rssdesc", 1));
            grid_.setCell(3, r, text("rsscat", 4));
            grid_.setCell(4, r, text("rsshostname", 3));
            auto& row = textResults_[static_cast<std::size_t>(r - 1)];
            row.mediaLink = text("medialink", 2);
            row.siteUrl = text("rsshostname", 3);
            row.mediaType = text("mediatype", 5);
            row.recnum = text("recnum", 6);
            row.feedTitle = text("rsstitle", 7);
            row.title = text("rssitemtitle", 0);
            row.description = text("rssdesc", 1);
        }
        if (read == Read::ByName)
            q.close();
    });
}

void TextGrid::selectCell(int col, int row) {
    const bool held = row >= 1 && row <= textResultCount_;
    const catalogue::Item none;
    const catalogue::Item& t = held ? textResults_[static_cast<std::size_t>(row - 1)] : none;

    selection_.setPlayLink("");
    catalogue::Item texts = selection_.currentItem();
    texts.mediaType = t.mediaType;
    texts.recnum = t.recnum;
    texts.feedTitle = t.feedTitle;
    texts.title = t.title;
    texts.siteUrl = t.siteUrl;
    selection_.setCurrentTexts(texts);
    slots_.SelectSlot(row, catalogue::PageKind::pkTextGrid);
    // The placeholder of an empty result is no title.
    selection_.setSelectionTitle(held ? grid_.cell(1, row) : std::string());
    memo_.setText(grid_.cell(col, row) + " " + grid_.cell(col + 1, row));
    if (pages_.activePage() == &sheet_) {
        selection_.setPlayLink(t.mediaLink);
        const std::string& source = grid_.cell(4, row);
        visitSite_.setCaption("Visit Site: " + source);
        selection_.setVisitSiteTarget(source);
    }
}

void TextGrid::lookForImage() {
    server_.Bracket([this] {
        auto& q = pictureQuery_;
        q.close();
        q.setSql(PictureLookupStatement(selection_.playLink()));
        q.open();
        if (q.eof()) {
            picture_.loadFromFile("noimage.jpg");
        } else {
            q.field("pictureblob").saveToFile("me.jpg");
            picture_.loadFromFile("me.jpg");
        }
        q.close();
    });
}

void TextGrid::showVideoImage() {
    lookForImage();
    picture_.show();
}

void TextGrid::countRecords(bool show) {
    server_.Bracket([this, show] {
        auto& q = countQuery_;
        q.close();
        q.setSql(TextLibraryCountStatement());
        q.open();
        count_.setCaption("Total Videos For Search = " + q.field("total_record").text());
        if (show) {
            q.close();
            count_.show();
        }
    });
}

void TextGrid::registerState() const {
    auto& r = form_.app().state();
    r.add("textResults", [this] {
        auto rows = nlohmann::json::array();
        for (const auto& row : textResults_)
            rows.push_back(catalogue::itemJson(row));
        return rows;
    });
    r.add("textResultCount", [this] { return textResultCount_; });
    r.add("popularTextOffset", [this] { return popularTextOffset_; });
    r.add("latestTextOffset", [this] { return latestTextOffset_; });
}

} // namespace search
