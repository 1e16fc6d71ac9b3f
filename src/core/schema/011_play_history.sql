-- What the room sang: one row per song started, written when it starts and completed as it
-- plays and when it ends, so a crash loses at most the last few seconds. Title and singer are
-- kept with the row, so a song deleted since still reads as it was. Kept in this room's file
-- only, never sent to a venue's server.
-- ended_how: NULL while playing (or cut off by a crash), 1 to the end, 2 skipped, 3 player closed.
-- length_seconds: the song's own length when known (0 when not). sung: played at least 30
-- seconds or half its length; the charts count only these.
CREATE TABLE play_history (
  play_id INTEGER PRIMARY KEY,
  song_num TEXT NOT NULL,
  song_name TEXT NOT NULL,
  singer_name TEXT NOT NULL,
  started_at INTEGER NOT NULL,
  played_seconds INTEGER NOT NULL DEFAULT 0,
  length_seconds INTEGER NOT NULL DEFAULT 0,
  ended_how INTEGER,
  ordered_by TEXT NOT NULL DEFAULT '',
  phone TEXT NOT NULL DEFAULT '',
  queue_id INTEGER NOT NULL DEFAULT 0,
  key_end INTEGER NOT NULL DEFAULT 0,
  channel_end INTEGER NOT NULL DEFAULT 0,
  score INTEGER,
  sung INTEGER NOT NULL DEFAULT 0
);
-- The charts of a period and the turns of the last hour read the sung rows by start time.
CREATE INDEX play_history_sung ON play_history (started_at, song_num) WHERE sung = 1;
CREATE INDEX play_history_by_start ON play_history (started_at);
-- The key a song last ended with.
CREATE INDEX play_history_by_song ON play_history (song_num, play_id);
-- The all-time chart, kept by the triggers below whoever writes the history (plain SQL), so
-- that it is read without counting a year of plays.
CREATE TABLE song_chart (
  song_num TEXT PRIMARY KEY,
  sung_count INTEGER NOT NULL,
  last_sung INTEGER NOT NULL
);
CREATE INDEX song_chart_order ON song_chart (sung_count DESC, last_sung DESC);
CREATE TRIGGER play_sung_at_start AFTER INSERT ON play_history WHEN NEW.sung = 1
  BEGIN
    INSERT INTO song_chart (song_num, sung_count, last_sung) VALUES (NEW.song_num, 1, NEW.started_at)
      ON CONFLICT (song_num) DO UPDATE SET sung_count = sung_count + 1, last_sung = max(last_sung, excluded.last_sung);
  END;
CREATE TRIGGER play_became_sung AFTER UPDATE OF sung ON play_history WHEN OLD.sung = 0 AND NEW.sung = 1
  BEGIN
    INSERT INTO song_chart (song_num, sung_count, last_sung) VALUES (NEW.song_num, 1, NEW.started_at)
      ON CONFLICT (song_num) DO UPDATE SET sung_count = sung_count + 1, last_sung = max(last_sung, excluded.last_sung);
  END;
CREATE TRIGGER play_unsung AFTER UPDATE OF sung ON play_history WHEN OLD.sung = 1 AND NEW.sung = 0
  BEGIN
    UPDATE song_chart SET sung_count = sung_count - 1 WHERE song_num = OLD.song_num;
    DELETE FROM song_chart WHERE song_num = OLD.song_num AND sung_count <= 0;
  END;
CREATE TRIGGER play_forgotten AFTER DELETE ON play_history WHEN OLD.sung = 1
  BEGIN
    UPDATE song_chart SET sung_count = sung_count - 1 WHERE song_num = OLD.song_num;
    DELETE FROM song_chart WHERE song_num = OLD.song_num AND sung_count <= 0;
  END;
