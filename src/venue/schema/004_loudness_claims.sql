-- The size and modification time of the file a song's loudness was measured from: a file
-- replaced under the same name is measured again.
ALTER TABLE song ADD COLUMN song_loudness_size bigint;
ALTER TABLE song ADD COLUMN song_loudness_modified_ns bigint;
-- A row per song file to be measured: the room measuring it holds the row locked (FOR UPDATE
-- SKIP LOCKED) until its values are stored, so the other rooms pass the song over and take the
-- values through their copies. A room that ends or loses its connection lets go of its claims.
CREATE TABLE loudness_claim (
  song_num text NOT NULL,
  song_file text NOT NULL,
  PRIMARY KEY (song_num, song_file)
);
