-- The demo catalogue: the databases, tables and account the program relies on.
-- Loaded once into a fresh server by scripts/catalogue-server; zorvex-demo-seed
-- fills the tables. Safe to load again (tables are kept, the account is remade).
--
-- Tables with full-text indexes use MyISAM: its boolean-mode parser accepts every
-- expression the search box can produce (a lone "+" included), and the statements
-- ask for HIGH_PRIORITY scheduling, which matters for table-locking engines only.

CREATE DATABASE IF NOT EXISTS halden CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci;
CREATE DATABASE IF NOT EXISTS qzrbackup CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci;

USE halden;

-- The image library: one row per harvested video with its thumbnail. The thumbnail
-- pages read `SELECT *` rows by position, so the column order is fixed:
-- 0 rsstitle, 5 rssurl (the item's site), 8 rssitemtitle, 16 medialink,
-- 17 mediatype, 20 recnum, 22 pictureblob.
CREATE TABLE IF NOT EXISTS videosnap (
    rsstitle      VARCHAR(255) NOT NULL DEFAULT '',   --  0 title of the feed
    rsshostname   VARCHAR(255) NOT NULL DEFAULT '',   --  1 host the item came from
    rsseditor     VARCHAR(255) NOT NULL DEFAULT '',   --  2 feed editor or channel
    rsscat        VARCHAR(100) NOT NULL DEFAULT '',   --  3 category
    rssfeedurl    VARCHAR(1024) NOT NULL DEFAULT '',  --  4 address of the feed
    rssurl        VARCHAR(1024) NOT NULL DEFAULT '',  --  5 the item's page on its site
    rsslanguage   VARCHAR(16) NOT NULL DEFAULT '',    --  6
    rsspubdate    VARCHAR(64) NOT NULL DEFAULT '',    --  7 publication date as the feed wrote it
    rssitemtitle  VARCHAR(255) NOT NULL DEFAULT '',   --  8 title of the video
    rssdesc       TEXT,                               --  9 description
    rssauthor     VARCHAR(255) NOT NULL DEFAULT '',   -- 10
    rssguid       VARCHAR(1024) NOT NULL DEFAULT '',  -- 11
    rsskeywords   VARCHAR(512) NOT NULL DEFAULT '',   -- 12
    rssrating     VARCHAR(16) NOT NULL DEFAULT '',    -- 13
    mediaduration INT UNSIGNED NOT NULL DEFAULT 0,    -- 14 seconds
    medialength   BIGINT UNSIGNED NOT NULL DEFAULT 0, -- 15 bytes
    medialink     VARCHAR(2048) DEFAULT NULL,         -- 16 what the player plays
    mediatype     VARCHAR(64) NOT NULL DEFAULT '',    -- 17 MIME type of the media
    mediawidth    SMALLINT UNSIGNED NOT NULL DEFAULT 0, -- 18
    mediaheight   SMALLINT UNSIGNED NOT NULL DEFAULT 0, -- 19
    recnum        INT UNSIGNED NOT NULL AUTO_INCREMENT, -- 20 record number
    datetimevalue DATETIME NOT NULL DEFAULT CURRENT_TIMESTAMP, -- 21 when it was harvested
    pictureblob   MEDIUMBLOB,                         -- 22 JPEG thumbnail
    harvestkey    BINARY(32) DEFAULT NULL,            -- 23 SHA-256 of medialink, set by zorvex-harvest
    PRIMARY KEY (recnum),
    UNIQUE KEY videosnap_harvestkey (harvestkey),
    KEY videosnap_recent (datetimevalue),
    KEY videosnap_category (rsscat, datetimevalue),
    KEY videosnap_host (rsshostname),
    KEY videosnap_link (medialink(191)),
    FULLTEXT KEY videosnap_text (rssdesc, rssitemtitle, rssurl),
    FULLTEXT KEY videosnap_cat (rsscat)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- The text library: every item ever harvested, without pictures.
CREATE TABLE IF NOT EXISTS videopodcasthistory (
    recnum        INT UNSIGNED NOT NULL AUTO_INCREMENT,
    rsstitle      VARCHAR(255) NOT NULL DEFAULT '',
    rssitemtitle  VARCHAR(255) NOT NULL DEFAULT '',
    rssdesc       TEXT,
    rssurl        VARCHAR(1024) NOT NULL DEFAULT '',
    rsshostname   VARCHAR(255) NOT NULL DEFAULT '',
    rsscat        VARCHAR(100) NOT NULL DEFAULT '',
    medialink     VARCHAR(2048) DEFAULT NULL,
    mediatype     VARCHAR(64) NOT NULL DEFAULT '',
    datetimevalue DATETIME NOT NULL DEFAULT CURRENT_TIMESTAMP,
    harvestkey    BINARY(32) DEFAULT NULL,            -- SHA-256 of medialink, set by zorvex-harvest
    PRIMARY KEY (recnum),
    UNIQUE KEY videopodcasthistory_harvestkey (harvestkey),
    KEY videopodcasthistory_host (rsshostname),
    FULLTEXT KEY videopodcasthistory_text (rsstitle, rssdesc, rssurl, rssitemtitle),
    FULLTEXT KEY videopodcasthistory_cat (rsscat)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- One harvested item is one row: zorvex-harvest writes the SHA-256 of the media
-- link into `harvestkey` and upserts on its unique key, so two harvesters never
-- store an item twice. Rows written by other means (the seeder, whose demo items
-- share a few clips) leave it NULL, which the key allows any number of times.
-- Catalogues made before the column are given it here.
ALTER TABLE videosnap
    ADD COLUMN IF NOT EXISTS harvestkey BINARY(32) DEFAULT NULL AFTER pictureblob,
    ADD UNIQUE KEY IF NOT EXISTS videosnap_harvestkey (harvestkey);
ALTER TABLE videopodcasthistory
    ADD COLUMN IF NOT EXISTS harvestkey BINARY(32) DEFAULT NULL AFTER datetimevalue,
    ADD UNIQUE KEY IF NOT EXISTS videopodcasthistory_harvestkey (harvestkey);

-- Global settings: display defaults (ids 2 to 11) and the search statement pieces
-- (ids 12 to 23). Not unique by id: a later row of the same id wins.
CREATE TABLE IF NOT EXISTS zorvex_global (
    id    INT NOT NULL,
    item  VARCHAR(100) NOT NULL DEFAULT '',
    value TEXT,
    KEY zorvex_global_id (id)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Site keys the link resolver needs (`time` holds the key text).
CREATE TABLE IF NOT EXISTS videokey (
    host   VARCHAR(255) NOT NULL DEFAULT '',
    `time` VARCHAR(255) NOT NULL DEFAULT ''
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- One usage row per online start of the program, filled by position 1 to 5.
CREATE TABLE IF NOT EXISTS videopath (
    id            INT UNSIGNED NOT NULL AUTO_INCREMENT, -- 0, left to the server
    ipaddress     VARCHAR(64) NOT NULL DEFAULT '',      -- 1
    version       VARCHAR(64) NOT NULL DEFAULT '',      -- 2
    computername  VARCHAR(255) NOT NULL DEFAULT '',     -- 3
    datetimevalue DATETIME DEFAULT NULL,                -- 4 local time of the start
    pingtime      VARCHAR(64) NOT NULL DEFAULT '',      -- 5
    PRIMARY KEY (id)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

USE qzrbackup;

-- Topics of the Newest Videos and Special Interest pages. `videoquerysql` is a
-- complete SELECT on halden.videosnap to which the program appends " LIMIT o,8".
CREATE TABLE IF NOT EXISTS videoqueryfeature (
    id                INT UNSIGNED NOT NULL AUTO_INCREMENT,
    videoquerycaption VARCHAR(255) NOT NULL DEFAULT '',
    videoquerysql     TEXT,
    PRIMARY KEY (id)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

CREATE TABLE IF NOT EXISTS videospecialfeature (
    id                INT UNSIGNED NOT NULL AUTO_INCREMENT,
    videoquerycaption VARCHAR(255) NOT NULL DEFAULT '',
    videoquerysql     TEXT,
    PRIMARY KEY (id)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- The side tabs (World, Aus News, Bookmarks). `sidequery` ends with LIMIT; the
-- program appends " o,16".
CREATE TABLE IF NOT EXISTS sidetab (
    id          INT UNSIGNED NOT NULL AUTO_INCREMENT,
    sidecaption VARCHAR(255) NOT NULL DEFAULT '',
    sidequery   TEXT,
    PRIMARY KEY (id)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- The category tree. `catSQL` and `subsql` end with LIMIT; the program appends
-- " o, 8".
CREATE TABLE IF NOT EXISTS categories (
    catid   INT NOT NULL,
    catname VARCHAR(255) NOT NULL DEFAULT '',
    catSQL  TEXT,
    PRIMARY KEY (catid)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

CREATE TABLE IF NOT EXISTS subcategories (
    subcatid   INT NOT NULL,
    catid      INT NOT NULL,
    subcatname VARCHAR(255) NOT NULL DEFAULT '',
    subsql     TEXT,
    PRIMARY KEY (subcatid),
    KEY subcategories_parent (catid)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- The program's account: it reads both databases and appends usage rows, nothing
-- more. CREATE OR REPLACE drops any earlier privileges of the account.
CREATE OR REPLACE USER 'mediauser'@'localhost' IDENTIFIED BY '#!%@qwmv*&r*';
CREATE OR REPLACE USER 'mediauser'@'127.0.0.1' IDENTIFIED BY '#!%@qwmv*&r*';
GRANT SELECT ON halden.* TO 'mediauser'@'localhost';
GRANT SELECT ON qzrbackup.* TO 'mediauser'@'localhost';
GRANT INSERT ON halden.videopath TO 'mediauser'@'localhost';
GRANT SELECT ON halden.* TO 'mediauser'@'127.0.0.1';
GRANT SELECT ON qzrbackup.* TO 'mediauser'@'127.0.0.1';
GRANT INSERT ON halden.videopath TO 'mediauser'@'127.0.0.1';

-- The harvester's account: it reads, adds and updates the items of the two
-- libraries, and nothing more (no delete, no other table, no other database).
CREATE OR REPLACE USER 'harvester'@'localhost' IDENTIFIED BY 'hv7!Feeds&Clips';
CREATE OR REPLACE USER 'harvester'@'127.0.0.1' IDENTIFIED BY 'hv7!Feeds&Clips';
GRANT SELECT, INSERT, UPDATE ON halden.videosnap TO 'harvester'@'localhost';
GRANT SELECT, INSERT, UPDATE ON halden.videopodcasthistory TO 'harvester'@'localhost';
GRANT SELECT, INSERT, UPDATE ON halden.videosnap TO 'harvester'@'127.0.0.1';
GRANT SELECT, INSERT, UPDATE ON halden.videopodcasthistory TO 'harvester'@'127.0.0.1';
