-- The play queue, kept so that a crash or a power cut does not lose the guests' orders: one
-- row per queued song, in playing order by position, with who ordered it from a phone. Its
-- ids are never given twice (AUTOINCREMENT keeps the highest), so a phone naming a song that
-- has left the queue never reaches another one, even across a restart.
CREATE TABLE IF NOT EXISTS play_queue (
  queue_id INTEGER PRIMARY KEY AUTOINCREMENT,
  position INTEGER NOT NULL,
  song_num TEXT NOT NULL,
  queue_text TEXT NOT NULL,
  song_name TEXT NOT NULL DEFAULT '',
  singer_name TEXT NOT NULL DEFAULT '',
  ordered_by TEXT NOT NULL DEFAULT '',
  phone TEXT NOT NULL DEFAULT ''
);
-- Counts every change of songs and singers, so a reader holding a copy of the catalogue (the
-- phone page's search) knows when to read it again; the queue's own writes do not count.
CREATE TABLE IF NOT EXISTS catalogue_changes (
  only_row INTEGER PRIMARY KEY CHECK (only_row = 1),
  changes INTEGER NOT NULL
);
INSERT OR IGNORE INTO catalogue_changes (only_row, changes) VALUES (1, 0);
CREATE TRIGGER IF NOT EXISTS song_added AFTER INSERT ON song
  BEGIN UPDATE catalogue_changes SET changes = changes + 1; END;
CREATE TRIGGER IF NOT EXISTS song_changed AFTER UPDATE ON song
  BEGIN UPDATE catalogue_changes SET changes = changes + 1; END;
CREATE TRIGGER IF NOT EXISTS song_removed AFTER DELETE ON song
  BEGIN UPDATE catalogue_changes SET changes = changes + 1; END;
CREATE TRIGGER IF NOT EXISTS singer_added AFTER INSERT ON singer
  BEGIN UPDATE catalogue_changes SET changes = changes + 1; END;
CREATE TRIGGER IF NOT EXISTS singer_changed AFTER UPDATE ON singer
  BEGIN UPDATE catalogue_changes SET changes = changes + 1; END;
CREATE TRIGGER IF NOT EXISTS singer_removed AFTER DELETE ON singer
  BEGIN UPDATE catalogue_changes SET changes = changes + 1; END;
