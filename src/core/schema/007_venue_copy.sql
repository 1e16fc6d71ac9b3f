-- A room of a venue keeps its catalogue as a copy of the venue's catalogue server: the server's
-- catalogue it copies and the last change of it applied here. Empty where there is no server.
CREATE TABLE venue_copy (
  catalogue_id TEXT NOT NULL,
  last_change INTEGER NOT NULL
);
