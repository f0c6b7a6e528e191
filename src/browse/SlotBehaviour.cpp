#include "browse/SlotBehaviour.h"

#include <stdexcept>

#include <nlohmann/json.hpp>

#include "catalogue/Selection.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/Utf8.h"
#include "ui/Widgets.h"

namespace browse {

using catalogue::PageKind;

namespace {

constexpr int kGrowth = 20; ///< pixels a pointed-at thumbnail grows each way

} // namespace

EdgeShift edgeShift(GridShape grid, int slot) {
    if (grid == GridShape::FourByTwo) {
        if (slot < 1 || slot > 8)
            throw std::out_of_range("a 4 by 2 grid has no slot " + std::to_string(slot));
        const int col = (slot - 1) % 4;
        const int row = (slot - 1) / 4;
        // The outer columns grow inward only; the two middle ones half each way.
        const int left = col == 0 ? 0 : col == 3 ? -kGrowth : -kGrowth / 2;
        return {left, row == 0 ? 0 : -kGrowth};
    }
    if (slot < 1 || slot > 16)
        throw std::out_of_range("a 2 by 8 grid has no slot " + std::to_string(slot));
    const int col = (slot - 1) % 2;
    const int row = (slot - 1) / 2;
    const int top = row == 0 ? 0 : row == 7 ? -kGrowth : -kGrowth / 2;
    return {col == 0 ? 0 : -kGrowth, top};
}

SlotBehaviour::SlotBehaviour(ui::Form& form, catalogue::Selection& selection)
    : form_(form), selection_(selection), infoPanel_(form.get<ui::CaptionPanel>("infoPanel")),
      infoImage_(form.get<ui::Image>("infoImage")),
      gridPicture_(form.get<ui::Image>("suiDBImage1")), labels_{&form.get<ui::Label>("titledis"),
                                                                &form.get<ui::Label>("descdis1"),
                                                                &form.get<ui::Label>("descdis2"),
                                                                &form.get<ui::Label>("descdis3"),
                                                                &form.get<ui::Label>("descdis4")},
      addToBookmarks_(form.get<ui::MenuItem>("AddtoFavourites1")),
      deleteBookmark_(form.get<ui::MenuItem>("DeleteBookmark1")),
      deleteAllBookmarks_(form.get<ui::MenuItem>("DeleteAllBookmarks1")),
      sqlvideomemo_(form.get<ui::Memo>("sqlvideomemo")),
      busy_(form.get<ui::Animation>("Animate1")) {
    bindFamily("featurepic", PageKind::pkFeature, GridShape::FourByTwo, 8, "featurepic", "caption");
    bindFamily("specialpic", PageKind::pkSpecial, GridShape::FourByTwo, 8, "specialcaption", "");
    bindFamily("videopic", PageKind::pkWorld, GridShape::TwoByEight, 16, "", "");
    bindFamily("newspic", PageKind::pkNews, GridShape::TwoByEight, 16, "", "");
    bindFamily("musicpic", PageKind::pkBookmarks, GridShape::TwoByEight, 16, "", "");

    // suiTabSheet8MouseMove, suiTabSheet9MouseMove: the free area of an 8-slot page.
    form_.get<ui::TabSheet>("suiTabSheet8").onMouseMove = [this](int, int) {
        collapseCaptions(PageKind::pkFeature);
        clearSelectionMemo();
    };
    form_.get<ui::TabSheet>("suiTabSheet9").onMouseMove = [this](int, int) {
        collapseCaptions(PageKind::pkSpecial);
        clearSelectionMemo();
    };
    // suiTabSheet5MouseMove, suiTabSheet6MouseMove, suiTabSheet7MouseMove and
    // sidepageMouseMove: the side tabs have no caption panels to tidy.
    for (const char* name : {"suiTabSheet5", "suiTabSheet6", "suiTabSheet7", "sidepage"})
        form_.get<ui::Control>(name).onMouseMove = [this](int, int) { clearSelectionMemo(); };
    registerState();
}

SlotBehaviour::~SlotBehaviour() = default;

void SlotBehaviour::bindFamily(const std::string& prefix, PageKind page, GridShape grid, int count,
                               const std::string& captionPrefix, const std::string& captionSuffix) {
    for (int n = 1; n <= count; ++n) {
        const std::string number = std::to_string(n);
        ui::CaptionPanel* caption =
            captionPrefix.empty()
                ? nullptr
                : &form_.get<ui::CaptionPanel>(captionPrefix + number + captionSuffix);
        thumbnails_.push_back({&form_.get<ui::Image>(prefix + number), caption, page, grid, n});
        const Thumbnail& t = thumbnails_.back();
        t.image->onMouseMove = [this, &t](int, int) { pointAt(t); };
        t.image->onMouseLeave = [this] { leaveThumbnail(); };
        // featurepic1Click ... musicpic16Click: the click passes nothing; the hover
        // chose the item.
        t.image->onClick = [this] {
            if (playRequest_)
                playRequest_();
        };
    }
}

void SlotBehaviour::resize(const Thumbnail& t, int sign) {
    const EdgeShift shift = edgeShift(t.grid, t.slot);
    const ui::Bounds b = t.image->bounds();
    t.image->setBounds(b.left + sign * shift.left, b.top + sign * shift.top,
                       b.width + sign * kGrowth, b.height + sign * kGrowth);
    if (t.caption) {
        // The caption panel above an 8-slot thumbnail widens with it, keeping its height.
        const ui::Bounds c = t.caption->bounds();
        t.caption->setBounds(c.left + sign * shift.left, c.top + sign * shift.top,
                             c.width + sign * kGrowth, c.height);
    }
}

void SlotBehaviour::pointAt(const Thumbnail& t) {
    // The busy arrow tells the user that a stream is still loading; pointing and
    // selecting still work meanwhile.
    t.image->setCursor(busy_.active() ? ui::Cursor::AppStart : ui::Cursor::HandPoint);
    if (!hoverEnlarged_ && !hoverMoved_) {
        hoverEnlarged_ = true;
        enlarged_ = &t;
        selection_.setPicture(t.image->picture());
        t.image->bringToFront();
        resize(t, 1);
        if (t.caption) {
            t.caption->bringToFront();
        } else {
            infoPanel_.setTop(t.image->top() + 8);
            infoPanel_.setLeft(t.image->left() + 3);
            infoPanel_.setWidth(t.image->width());
        }
        SelectSlot(t.slot, t.page);
    }
    hoverMoved_ = true;
}

void SlotBehaviour::leaveThumbnail() {
    if (hoverEnlarged_ && hoverMoved_) {
        if (enlarged_)
            resize(*enlarged_, -1);
        enlarged_ = nullptr;
        RestoreInfoPanel();
        hoverEnlarged_ = false;
    }
    hoverMoved_ = false;
}

void SlotBehaviour::readSlotsFrom(PageKind page, const catalogue::SlotTable& table) {
    slotTables_.at(static_cast<std::size_t>(page)) = &table;
}

void SlotBehaviour::setInfoDefault(int index, std::string text) {
    infoDefaults_.at(static_cast<std::size_t>(index)) = std::move(text);
}

void SlotBehaviour::SelectSlot(int slot, PageKind page) {
    // Only a bookmark can be deleted, and a bookmark need not be added again.
    const bool bookmark = page == PageKind::pkBookmarks;
    addToBookmarks_.setVisible(!bookmark);
    deleteBookmark_.setVisible(bookmark);
    deleteAllBookmarks_.setVisible(bookmark);

    if (page == PageKind::pkTextGrid) {
        const catalogue::Item none;
        const bool held = slot >= 1 && static_cast<std::size_t>(slot) <= textRows_.size();
        const catalogue::Item& row = held ? textRows_[static_cast<std::size_t>(slot - 1)] : none;
        selection_.setNowPlaying(row);
        selection_.setPlayLink(row.mediaLink);
        catalogue::Item texts = selection_.currentItem();
        texts.title = row.title;
        texts.description = row.description;
        selection_.setCurrentTexts(texts);
        selection_.setPicture(gridPicture_.picture());
        selection_.setBookmarkFromNowPlaying(true);
    } else if (const catalogue::SlotTable* table = slotTables_.at(static_cast<std::size_t>(page))) {
        selection_.choose(table->at(slot));
    }
    const auto& current = selection_.currentItem();

    if (page == PageKind::pkWorld || page == PageKind::pkNews || page == PageKind::pkBookmarks) {
        // The side-tab thumbnails are too small for a caption of their own; a title
        // bar over the pointed-at one names it.
        const std::size_t shown = page == PageKind::pkWorld ? 15 : 18;
        infoPanel_.setCaption(ui::utf8::left(current.title, shown) + "..");
        infoPanel_.push();
        infoPanel_.bringToFront();
        infoPanel_.show();
    }

    // A copy: the information picture keeps showing this item while its thumbnail
    // is filled again.
    if (current.picture)
        infoImage_.setPicture(*current.picture);
    else
        infoImage_.clearPicture();
    infoImage_.show();

    labels_[0]->setCaption(ui::utf8::left(current.title, 40));
    labels_[1]->setCaption(ui::utf8::mid(current.description, 0, 50));
    labels_[2]->setCaption(ui::utf8::mid(current.description, 50, 50));
    labels_[3]->setCaption(ui::utf8::mid(current.description, 100, 50));
    labels_[4]->setCaption(ui::utf8::left(current.siteUrl, 40) + "..");
}

void SlotBehaviour::RestoreInfoPanel() {
    for (std::size_t i = 0; i < infoDefaults_.size(); ++i)
        labels_[i]->setCaption(infoDefaults_[i]);
    infoPanel_.hide();
    infoImage_.hide();
}

void SlotBehaviour::collapseCaptions(PageKind page) {
    // Only the caption panels show the button that opens them; whatever the user
    // opened closes again when the pointer goes back to the page.
    for (const Thumbnail& t : thumbnails_)
        if (t.page == page && t.caption && !t.caption->collapsed())
            t.caption->push();
}

void SlotBehaviour::clearSelectionMemo() {
    sqlvideomemo_.clear();
}

void SlotBehaviour::registerState() const {
    auto& r = form_.app().state();
    r.add("hoverEnlarged", [this] { return hoverEnlarged_; });
    r.add("hoverMoved", [this] { return hoverMoved_; });
    r.add("infoDefaults", [this] { return nlohmann::json(infoDefaults_); });
}

} // namespace browse
