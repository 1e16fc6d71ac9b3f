-- Songs and singers. song_num is not unique: a song sung by several singers has one row
-- per singer under the same number. Text compares without regard to letter case.
CREATE TABLE song (
  song_num TEXT COLLATE NOCASE NOT NULL DEFAULT '',
  song_kind INTEGER NOT NULL DEFAULT 0,
  song_name TEXT COLLATE NOCASE NOT NULL DEFAULT '',
  song_text_count INTEGER NOT NULL DEFAULT 0,
  song_singer_code INTEGER NOT NULL DEFAULT 0,
  song_build_date TEXT COLLATE NOCASE NOT NULL DEFAULT '',
  song_location TEXT COLLATE NOCASE NOT NULL DEFAULT ''
);
CREATE TABLE singer (
  singer_code INTEGER PRIMARY KEY AUTOINCREMENT,
  singer_name TEXT COLLATE NOCASE NOT NULL DEFAULT '',
  singer_sex INTEGER NOT NULL DEFAULT 0
);
