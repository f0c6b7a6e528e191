-- The bookmark store: database `Data` with the table `Bookmark`, created in the
-- program's working directory by the install step (scripts/prepare-workdir, through
-- the embedded server, the same server kind that later reads it). The program itself
-- never creates either.
--
-- Safe to run again: an existing table and its bookmarks are kept.

CREATE DATABASE IF NOT EXISTS `Data` CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci;

USE `Data`;

-- Column order matters only for the picture: the program reads and writes it by
-- position, as the eighth column (position 7 counting from 0). Every other column
-- is used by name.
--
-- Engine: MyISAM. The embedded server runs without InnoDB, and of the engines it
-- has, MyISAM is the one that keeps a UNIQUE key on a TEXT column exact (a hidden
-- hash with a check of the real values), which Aria refuses for keys this long.
--
-- The unique key: one bookmark per video, and a video is identified by its media
-- link, the address the player plays. The same video reached from different pages
-- (a thumbnail page, the text results, the now-playing panel) carries different
-- record numbers and sometimes different titles or descriptions, so a key over those
-- would let the same video in twice, while two different videos may well share a
-- title. The link is compared byte for byte (utf8mb4_bin): links are case-sensitive.
-- A second insert of the same link fails with error 1062 (duplicate entry).
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
    PRIMARY KEY (`recnum`),
    UNIQUE KEY `bookmark_video` (`medialink`) USING HASH,
    KEY `bookmark_added` (`datetimein`)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;
