-- The loudness of each song as measured once, for evening out loudness at play. Every column
-- may be empty: a song not measured yet plays as it is. song_loudness_state is empty before
-- the song is measured, 1 once measured, 2 when its sound cannot be decoded. The values of
-- channel choice n (1 centre, 2 left, 3 right) are its integrated loudness song_lufs_n (LUFS)
-- and its true peak song_peak_n (dBTP); both are empty for a choice that is silent.
ALTER TABLE song ADD COLUMN song_loudness_state INTEGER;
ALTER TABLE song ADD COLUMN song_lufs_1 REAL;
ALTER TABLE song ADD COLUMN song_peak_1 REAL;
ALTER TABLE song ADD COLUMN song_lufs_2 REAL;
ALTER TABLE song ADD COLUMN song_peak_2 REAL;
ALTER TABLE song ADD COLUMN song_lufs_3 REAL;
ALTER TABLE song ADD COLUMN song_peak_3 REAL;
-- A song given another file is measured again.
CREATE TRIGGER song_loudness_follows_file AFTER UPDATE OF song_location ON song
  WHEN old.song_location IS NOT new.song_location COLLATE BINARY
  BEGIN UPDATE song SET song_loudness_state = NULL, song_lufs_1 = NULL, song_peak_1 = NULL, song_lufs_2 = NULL, song_peak_2 = NULL, song_lufs_3 = NULL, song_peak_3 = NULL WHERE rowid = new.rowid; END;
