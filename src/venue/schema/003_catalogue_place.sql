-- Where the catalogue lives: the cluster, the database and the table holding its identity. A
-- dump put back (or a database made again) puts it somewhere else, so a server whose place
-- changed gives its catalogue a new id: its history is no longer the one the rooms followed.
ALTER TABLE venue_catalogue ADD COLUMN catalogue_place text;
CREATE FUNCTION catalogue_place() RETURNS text LANGUAGE plpgsql AS $$
DECLARE
  cluster text := '';
BEGIN
  BEGIN
    SELECT system_identifier::text INTO cluster FROM pg_control_system();
  EXCEPTION WHEN insufficient_privilege THEN
    cluster := '';
  END;
  RETURN cluster || '/' || (SELECT oid FROM pg_database WHERE datname = current_database())::text
    || '/' || 'venue_catalogue'::regclass::oid::text;
END $$;
UPDATE venue_catalogue SET catalogue_place = catalogue_place();
