-- The catalogue stays a file any SQLite tool can read and write: song and singer keep exactly
-- the columns they were made with, the schema names no collation or function of this program,
-- and what the program derives from a song or a singer lives in tables of its own, keyed by
-- the song's rowid or the singer's code. The triggers that keep those tables in step with songs
-- and singers (plain SQL, run by any tool) are in derived_rows.sql.
-- Stroke order: the list indexes of step 005 go; song_order and singer_order hold each title's
-- and name's ICU sort key (empty until this program makes it) beside copies of the columns the
-- lists choose by, and their indexes give the lists in stroke order with SQLite's own collation.
DROP INDEX IF EXISTS song_by_kind_count;
DROP INDEX IF EXISTS song_by_singer;
DROP INDEX IF EXISTS singer_by_sex;
DROP TABLE IF EXISTS collation_version;
CREATE INDEX IF NOT EXISTS song_by_kind ON song (song_kind);
CREATE TABLE song_order (
  song_row INTEGER PRIMARY KEY,
  song_kind INTEGER NOT NULL,
  song_text_count INTEGER NOT NULL,
  song_singer_code INTEGER NOT NULL,
  title_key BLOB
);
CREATE INDEX song_order_by_kind ON song_order (song_kind, song_text_count, title_key);
CREATE INDEX song_order_by_singer ON song_order (song_singer_code, song_text_count, title_key);
CREATE INDEX song_order_without_key ON song_order (song_row) WHERE title_key IS NULL;
CREATE TABLE singer_order (
  singer_code INTEGER PRIMARY KEY,
  singer_sex INTEGER NOT NULL,
  name_key BLOB
);
CREATE INDEX singer_order_by_sex ON singer_order (singer_sex, name_key);
CREATE INDEX singer_order_without_key ON singer_order (singer_code) WHERE name_key IS NULL;
INSERT INTO song_order (song_row, song_kind, song_text_count, song_singer_code)
  SELECT rowid, song_kind, song_text_count, song_singer_code FROM song;
INSERT INTO singer_order (singer_code, singer_sex) SELECT singer_code, singer_sex FROM singer;
-- What the derived rows were last made under: the ICU ordering of the keys (keys made under
-- another are made again), and the file's schema version at which the rows were known whole
-- (a tool that rebuilds a table moves it, and the rows are made anew).
CREATE TABLE derived_rows_made (
  only_row INTEGER PRIMARY KEY CHECK (only_row = 1),
  ordering TEXT NOT NULL,
  schema_version INTEGER NOT NULL
);
-- Loudness moves out of song, keeping its values. The file it was measured from comes with it:
-- the values count only while the song plays that file, so a song given another file (by
-- this program or any other) is measured again.
CREATE TABLE song_loudness (
  song_row INTEGER PRIMARY KEY,
  song_location TEXT NOT NULL,
  loudness_state INTEGER NOT NULL,
  lufs_1 REAL,
  peak_1 REAL,
  lufs_2 REAL,
  peak_2 REAL,
  lufs_3 REAL,
  peak_3 REAL
);
INSERT INTO song_loudness (song_row, song_location, loudness_state, lufs_1, peak_1, lufs_2, peak_2, lufs_3, peak_3)
  SELECT rowid, song_location, song_loudness_state, song_lufs_1, song_peak_1, song_lufs_2, song_peak_2, song_lufs_3,
         song_peak_3 FROM song WHERE song_loudness_state IS NOT NULL;
DROP TRIGGER IF EXISTS song_loudness_follows_file;
ALTER TABLE song DROP COLUMN song_loudness_state;
ALTER TABLE song DROP COLUMN song_lufs_1;
ALTER TABLE song DROP COLUMN song_peak_1;
ALTER TABLE song DROP COLUMN song_lufs_2;
ALTER TABLE song DROP COLUMN song_peak_2;
ALTER TABLE song DROP COLUMN song_lufs_3;
ALTER TABLE song DROP COLUMN song_peak_3;
-- The change count follows only what the phone page's search reads (numbers, titles, title
-- lengths, singers' names): measuring and the program's own tables do not count.
DROP TRIGGER IF EXISTS song_changed;
DROP TRIGGER IF EXISTS singer_changed;
