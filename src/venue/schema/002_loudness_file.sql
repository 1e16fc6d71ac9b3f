-- A song's loudness comes with the file it was measured from, and counts only while the song
-- plays that file (in every room's copy): a song given another file keeps its old values but is
-- measured again, so the server no longer clears them itself.
ALTER TABLE song ADD COLUMN song_loudness_file text;
UPDATE song SET song_loudness_file = song_location WHERE song_loudness_state IS NOT NULL;
CREATE OR REPLACE FUNCTION stamp_song() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  NEW.change := next_change();
  RETURN NEW;
END $$;
