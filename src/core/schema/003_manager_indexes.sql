-- Indexes for keeping the catalogue: singers by name (look-up and prefix search), songs by
-- title length and title (similar titles), songs by file (a file already registered).
CREATE INDEX IF NOT EXISTS singer_by_name ON singer (singer_name);
CREATE INDEX IF NOT EXISTS song_by_count_name ON song (song_text_count, song_name);
CREATE INDEX IF NOT EXISTS song_by_location ON song (song_location);
