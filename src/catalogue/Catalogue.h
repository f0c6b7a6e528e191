#pragma once
// The remote catalogue: its one connection, the query components the pages use,
// and the bracket every page action runs in (open, fill, close).
//
// The connection is not kept open between actions: OpenCatalogue connects,
// CloseCatalogue disconnects and so closes every query component, which the paging
// controls rely on (they act only while their page's component is closed).
//
// Thread: user-interface thread only.

#include <string>

#include "app/Config.h"
#include "catalogue/SlotTable.h"
#include "db/Connection.h"
#include "db/Query.h"

namespace ui {
class Image;
}

namespace catalogue {

class Catalogue {
public:
    explicit Catalogue(const app::CatalogueSettings& settings);
    ~Catalogue();

    /// Connects when not connected; any error is ignored (the next query reports it).
    void OpenCatalogue() noexcept;
    /// Disconnects when connected, closing every query component; errors ignored.
    void CloseCatalogue() noexcept;
    /// Replaces the component's statement and opens it; any error is ignored, and
    /// the component then stays closed and reports end of data at once.
    void RunQuery(db::Query& component, std::string sql) noexcept;
    /// Writes the current row's picture (column `pictureColumn`) unchanged to
    /// `file` in the working directory, loads the file into `image` stretched and
    /// shows it. Throws when the file cannot be written or is not a JPEG.
    void SaveThumbnail(db::Query& component, ui::Image& image, const std::string& file,
                       int pictureColumn = kPictureColumn);

    /// Runs `fill` between OpenCatalogue and CloseCatalogue. The connection is
    /// closed also when `fill` throws (the error still reaches the caller), so a
    /// page whose fill stopped at a bad picture keeps paging.
    template <class Fill> void Bracket(Fill&& fill) {
        OpenCatalogue();
        struct Closer {
            Catalogue& c;
            ~Closer() { c.CloseCatalogue(); }
        } closer{*this};
        fill();
    }

    /// The row-to-slot loop every filler shares: for each row of the open
    /// `component`, slot := slot + 1; slots 1..`slotCount` get `fillSlot(slot)`; the
    /// row's media link (`mediaLinkOf`, read last) goes to the slot table while the
    /// slot lies in 1..16 — rows beyond the table's capacity are ignored. Returns
    /// the number of rows read.
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

    static constexpr int kPictureColumn = 22; ///< `pictureblob` in `SELECT *` on videosnap

    db::Connection MySQLServer1;

    // Query components, each on its own database.
    db::Query featuremysqlpic;       ///< halden: both 8-slot pages
    db::Query pelorapicsmysql;       ///< halden: World and Aus News side tabs
    db::Query CatSQL;                ///< halden: result pages
    db::Query peloraqueryfeaturesql; ///< qzrbackup: Newest Videos topic list
    db::Query myspecialvideos;       ///< qzrbackup: Special Interest topic list
    db::Query sidetabsql;            ///< qzrbackup: side tab queries
    db::Query CategoriesTable;       ///< qzrbackup
    db::Query SubCategoriesTable;    ///< qzrbackup
    db::Query videosearchmysql;      ///< halden: global settings and searches
    db::Query videopathsql;          ///< halden: usage rows
    db::Query ifilm;                 ///< halden: the key table

    SlotTable featureSlots, specialSlots, worldSlots, newsSlots, bookmarkSlots;
    CurrentItem currentItem;
    std::string playLink;       ///< what the next play request plays
    std::string selectionTitle; ///< the title the link resolver reads
};

/// The connection settings of the catalogue: remote, compressed, protocol 4.1,
/// read and write time-outs of 35 s and a connect time-out of 70 s.
db::ConnectionSettings connectionSettings(const app::CatalogueSettings& settings);

} // namespace catalogue
