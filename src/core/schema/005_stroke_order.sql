-- Lists by title or name come in stroke order, as a Traditional-Chinese song book is read:
-- the indexes the guests' lists and the song book walk keep titles and names in the STROKE
-- collation (registered by the program on every connection). "=" and LIKE keep comparing
-- without regard to case through the columns' own NOCASE and the indexes of step 003.
-- collation_version names the ordering the indexes were built in; another ICU rebuilds them.
DROP INDEX IF EXISTS song_by_kind_count;
CREATE INDEX song_by_kind_count ON song (song_kind, song_text_count, song_name COLLATE STROKE);
DROP INDEX IF EXISTS song_by_singer;
CREATE INDEX song_by_singer ON song (song_singer_code, song_text_count, song_name COLLATE STROKE);
DROP INDEX IF EXISTS singer_by_sex;
CREATE INDEX singer_by_sex ON singer (singer_sex, singer_name COLLATE STROKE);
CREATE TABLE collation_version (
  collation TEXT PRIMARY KEY,
  version TEXT NOT NULL
);
