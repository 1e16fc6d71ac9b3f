-- The venue's catalogue, as every room's copy holds it: songs and singers, each row stamped
-- with the number of the change that last wrote it, and a row per row removed, so that a room
-- copies only what changed since the last change it applied. song_id is the row's rowid in
-- every room's copy.
CREATE TABLE venue_catalogue (
  schema_version integer NOT NULL,
  catalogue_id text NOT NULL
);
INSERT INTO venue_catalogue (schema_version, catalogue_id) VALUES (0, gen_random_uuid()::text);
CREATE SEQUENCE catalogue_change;
CREATE TABLE singer (
  singer_code bigserial PRIMARY KEY,
  singer_name text NOT NULL DEFAULT '',
  singer_sex integer NOT NULL DEFAULT 0,
  change bigint NOT NULL DEFAULT 0
);
CREATE TABLE song (
  song_id bigserial PRIMARY KEY,
  song_num text NOT NULL DEFAULT '',
  song_kind integer NOT NULL DEFAULT 0,
  song_name text NOT NULL DEFAULT '',
  song_text_count integer NOT NULL DEFAULT 0,
  song_singer_code bigint NOT NULL DEFAULT 0,
  song_build_date text NOT NULL DEFAULT '',
  song_location text NOT NULL DEFAULT '',
  song_loudness_state integer,
  song_lufs_1 double precision,
  song_peak_1 double precision,
  song_lufs_2 double precision,
  song_peak_2 double precision,
  song_lufs_3 double precision,
  song_peak_3 double precision,
  change bigint NOT NULL DEFAULT 0
);
CREATE TABLE removed_row (
  change bigint PRIMARY KEY,
  row_table text NOT NULL,
  row_id bigint NOT NULL
);
CREATE INDEX song_by_num ON song (song_num text_pattern_ops);
CREATE INDEX song_by_location ON song (song_location);
CREATE INDEX song_by_change ON song (change);
CREATE INDEX singer_by_change ON singer (change);

-- Every change takes the log's lock before its number and holds it to its commit: changes
-- commit in the order of their numbers, so a room that has seen change N has seen all before.
CREATE FUNCTION next_change() RETURNS bigint LANGUAGE plpgsql AS $$
BEGIN
  PERFORM pg_advisory_xact_lock(7201, 0);
  RETURN nextval('catalogue_change');
END $$;

CREATE FUNCTION stamp_singer() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  NEW.change := next_change();
  RETURN NEW;
END $$;

-- A song given another file is measured again.
CREATE FUNCTION stamp_song() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  NEW.change := next_change();
  IF TG_OP = 'UPDATE' AND NEW.song_location IS DISTINCT FROM OLD.song_location THEN
    NEW.song_loudness_state := NULL;
    NEW.song_lufs_1 := NULL;
    NEW.song_peak_1 := NULL;
    NEW.song_lufs_2 := NULL;
    NEW.song_peak_2 := NULL;
    NEW.song_lufs_3 := NULL;
    NEW.song_peak_3 := NULL;
  END IF;
  RETURN NEW;
END $$;

CREATE FUNCTION log_removal() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  INSERT INTO removed_row (change, row_table, row_id)
    VALUES (next_change(), TG_TABLE_NAME, (to_jsonb(OLD) ->> TG_ARGV[0])::bigint);
  RETURN OLD;
END $$;

-- Rooms LISTEN on catalogue_changed; the notice goes out when the change commits.
CREATE FUNCTION announce_change() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  PERFORM pg_notify('catalogue_changed', '');
  RETURN NULL;
END $$;

CREATE TRIGGER singer_stamp BEFORE INSERT OR UPDATE ON singer FOR EACH ROW EXECUTE FUNCTION stamp_singer();
CREATE TRIGGER song_stamp BEFORE INSERT OR UPDATE ON song FOR EACH ROW EXECUTE FUNCTION stamp_song();
CREATE TRIGGER singer_removal AFTER DELETE ON singer FOR EACH ROW EXECUTE FUNCTION log_removal('singer_code');
CREATE TRIGGER song_removal AFTER DELETE ON song FOR EACH ROW EXECUTE FUNCTION log_removal('song_id');
CREATE TRIGGER singer_announce AFTER INSERT OR UPDATE OR DELETE ON singer
  FOR EACH STATEMENT EXECUTE FUNCTION announce_change();
CREATE TRIGGER song_announce AFTER INSERT OR UPDATE OR DELETE ON song
  FOR EACH STATEMENT EXECUTE FUNCTION announce_change();
