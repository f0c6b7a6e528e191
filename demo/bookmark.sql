-- The bookmark store: database `Data` with the table `Bookmark`, created in the
-- program's working directory by the install step (scripts/prepare-workdir, through
-- the embedded server, the same server kind that later reads it). The program itself
-- never creates either.
--
-- Safe to run again: an existing table and its bookmarks are kept. A table made by
-- an earlier install (MyISAM) is converted in place by zorvex-store-install.

CREATE DATABASE IF NOT EXISTS `Data` CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci;

USE `Data`;

-- Column order matters only for the picture: the program reads and writes it by
-- position, as the eighth column (position 7 counting from 0). Every other column
-- is used by name.
--
-- Engine: Aria with TRANSACTIONAL=1. Every statement is written to the Aria log
-- before it returns, and the server replays the log when it starts, so a process
-- that is killed in the middle of an insert leaves a table that opens without
-- repair and holds every insert that had returned. (A MyISAM table is left marked
-- as crashed instead.) The embedded server runs without InnoDB.
--
-- The unique key: one bookmark per video, and a video is identified by its media
-- link, the address the player plays. The same video reached from different pages
-- (a thumbnail page, the text results, the now-playing panel) carries different
-- record numbers and sometimes different titles or descriptions, so a key over those
-- would let the same video in twice, while two different videos may well share a
-- title. Aria refuses a unique key on the TEXT column itself, so the key sits on a
-- stored generated column holding the SHA-256 of the link's bytes: links are
-- compared byte for byte (they are case-sensitive), and a second insert of the same
-- link fails with error 1062 (duplicate entry).
CREATE TABLE IF NOT EXISTS `Bookmark` (
    `medialink`    TEXT CHARACTER SET utf8mb4 COLLATE utf8mb4_bin NOT NULL DEFAULT '',
    `rssdesc`      TEXT,
    `rssurl`       TEXT,
    `mediatype`    VARCHAR(255) NOT NULL DEFAULT '',
    -- Filled in by the store for every new row, never written by the program.
    `recnum`       INT UNSIGNED NOT NULL AUTO_INCREMENT,
    `rsstitle`     TEXT,
    `rssitemtitle` TEXT,
    -- JPEG bytes of the bookmark's picture (up to 16 MiB).
    `pictureblob`  MEDIUMBLOB,
    -- Local date and time at which the bookmark was added; pages are ordered by it.
    `datetimein`   DATETIME NOT NULL DEFAULT CURRENT_TIMESTAMP,
    -- The key of the video: SHA-256 of the media link, kept by the server.
    `medialinkkey` BINARY(32) AS (UNHEX(SHA2(`medialink`, 256))) STORED,
    PRIMARY KEY (`recnum`),
    UNIQUE KEY `bookmark_video` (`medialinkkey`),
    KEY `bookmark_added` (`datetimein`)
) ENGINE=Aria TRANSACTIONAL=1 ROW_FORMAT=PAGE DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;
