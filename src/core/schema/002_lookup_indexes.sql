-- Indexes for the guests' look-ups: by number, by kind and title length, by singer, by sex.
CREATE INDEX IF NOT EXISTS song_by_num ON song (song_num);
CREATE INDEX IF NOT EXISTS song_by_kind_count ON song (song_kind, song_text_count, song_name);
CREATE INDEX IF NOT EXISTS song_by_singer ON song (song_singer_code, song_text_count, song_name);
CREATE INDEX IF NOT EXISTS singer_by_sex ON singer (singer_sex, singer_name);
