-- Song files compare exactly, letter case and all, as files are named on this machine. A
-- location stored as the program writes it (absolute, "/" between folders) is found through
-- song_by_exact_location; the few stored in another spelling (relative, "\" between folders,
-- "." parts, doubled "/") have an index of their own, so both checks of a file read an index.
DROP INDEX IF EXISTS song_by_location;
CREATE INDEX IF NOT EXISTS song_by_exact_location ON song (song_location COLLATE BINARY);
CREATE INDEX IF NOT EXISTS song_by_other_location ON song (song_location)
  WHERE song_location NOT LIKE '/%' OR instr(song_location, '\') > 0 OR instr(song_location, '/.') > 0
  OR instr(song_location, '//') > 0;
