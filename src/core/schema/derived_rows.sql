-- The triggers that keep the program's own tables in step with songs and singers, whoever
-- writes them. Made when the catalogue is made or upgraded, and again whenever one is missing
-- (a tool that rebuilds a table drops its triggers).
-- A new or retitled song has no stroke-order key until this program makes it.
CREATE TRIGGER IF NOT EXISTS song_order_added AFTER INSERT ON song BEGIN
  INSERT OR REPLACE INTO song_order (song_row, song_kind, song_text_count, song_singer_code)
    VALUES (new.rowid, new.song_kind, new.song_text_count, new.song_singer_code);
END;
CREATE TRIGGER IF NOT EXISTS song_order_changed
  AFTER UPDATE OF song_kind, song_name, song_text_count, song_singer_code ON song BEGIN
  UPDATE song_order SET song_kind = new.song_kind, song_text_count = new.song_text_count,
    song_singer_code = new.song_singer_code,
    title_key = CASE WHEN new.song_name IS old.song_name COLLATE BINARY THEN title_key END
    WHERE song_row = new.rowid;
END;
CREATE TRIGGER IF NOT EXISTS song_rows_removed AFTER DELETE ON song BEGIN
  DELETE FROM song_order WHERE song_row = old.rowid;
  DELETE FROM song_loudness WHERE song_row = old.rowid;
END;
CREATE TRIGGER IF NOT EXISTS singer_order_added AFTER INSERT ON singer BEGIN
  INSERT OR REPLACE INTO singer_order (singer_code, singer_sex) VALUES (new.singer_code, new.singer_sex);
END;
CREATE TRIGGER IF NOT EXISTS singer_order_changed AFTER UPDATE OF singer_name, singer_sex ON singer BEGIN
  UPDATE singer_order SET singer_sex = new.singer_sex,
    name_key = CASE WHEN new.singer_name IS old.singer_name COLLATE BINARY THEN name_key END
    WHERE singer_code = new.singer_code;
END;
CREATE TRIGGER IF NOT EXISTS singer_order_removed AFTER DELETE ON singer BEGIN
  DELETE FROM singer_order WHERE singer_code = old.singer_code;
END;
-- The change count the phone page's search reads to know when to read the songs again.
CREATE TRIGGER IF NOT EXISTS song_added AFTER INSERT ON song
  BEGIN UPDATE catalogue_changes SET changes = changes + 1; END;
CREATE TRIGGER IF NOT EXISTS song_changed AFTER UPDATE OF song_num, song_name, song_text_count, song_singer_code ON song
  BEGIN UPDATE catalogue_changes SET changes = changes + 1; END;
CREATE TRIGGER IF NOT EXISTS song_removed AFTER DELETE ON song
  BEGIN UPDATE catalogue_changes SET changes = changes + 1; END;
CREATE TRIGGER IF NOT EXISTS singer_added AFTER INSERT ON singer
  BEGIN UPDATE catalogue_changes SET changes = changes + 1; END;
CREATE TRIGGER IF NOT EXISTS singer_changed AFTER UPDATE OF singer_code, singer_name ON singer
  BEGIN UPDATE catalogue_changes SET changes = changes + 1; END;
CREATE TRIGGER IF NOT EXISTS singer_removed AFTER DELETE ON singer
  BEGIN UPDATE catalogue_changes SET changes = changes + 1; END;
