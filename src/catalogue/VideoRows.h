#pragma once
// Reading catalogue items out of result rows of `videosnap`: the column positions
// a `SELECT *` row has, the copy of a row into an Item, the loop that hands a page's
// rows to its slots, and writing a row's thumbnail to a picture file.
//
// Thread: user-interface thread only.

#include <string>

#include "catalogue/SlotTable.h"
#include "db/Query.h"

namespace catalogue {

// Column positions of a `SELECT *` row of videosnap.
inline constexpr int kFeedTitleColumn = 0;
inline constexpr int kSiteColumn = 5;
inline constexpr int kTitleColumn = 8;
inline constexpr int kMediaLinkColumn = 16;
inline constexpr int kMediaTypeColumn = 17;
inline constexpr int kRecnumColumn = 20;
inline constexpr int kPictureColumn = 22; ///< `pictureblob`

/// The item of the current row read by column position, as the 8-slot pages and
/// the result pages read it: the title serves as the description too. The media
/// link is left empty; the row loop reads it last. Throws db::Error when the row
/// has too few columns.
Item itemByPosition(const db::Query& row);
/// The item of the current row read by column name (`rssitemtitle`, `rssdesc`,
/// `rssurl`, `mediatype`, `recnum`, `rsstitle`), as the side tabs read it; the
/// media link is left empty. Throws db::Error for a missing column.
Item itemByName(const db::Query& row);

/// Writes the current row's picture (column `pictureColumn`) unchanged to `file`
/// in the working directory. Throws db::Error when it cannot be written.
void SaveThumbnail(const db::Query& row, const std::string& file,
                   int pictureColumn = kPictureColumn);

/// The row-to-slot loop every filler shares: for each row of the open `component`,
/// slot := slot + 1; slots 1..`slotCount` get `fillSlot(slot)`; the row's media link
/// (`mediaLinkOf`, read last) goes to the slot table while the slot lies in 1..16 —
/// rows beyond the table's capacity are ignored. Returns the number of rows read.
template <class FillSlot, class MediaLinkOf>
int RowLoop(db::Query& component, SlotTable& table, int slotCount, FillSlot&& fillSlot,
            MediaLinkOf&& mediaLinkOf) {
    int slot = 0;
    while (component.isOpen() && !component.eof()) {
        ++slot;
        if (slot <= slotCount)
            fillSlot(slot);
        if (SlotTable::valid(slot))
            table.at(slot).mediaLink = mediaLinkOf();
        component.next();
    }
    return slot;
}

} // namespace catalogue
