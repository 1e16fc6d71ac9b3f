-- Lists by title or name come in stroke order, as a Traditional-Chinese song book is read.
-- Catalogues of versions 5 to 8 kept the lists' indexes in a collation STROKE that the program
-- registered on its connections (so no other tool could write their songs); step 009 keeps
-- stroke order as sort keys in tables of the program's own instead and drops those indexes,
-- so this step no longer makes them. collation_version named the ordering they were built in.
DROP INDEX IF EXISTS song_by_kind_count;
DROP INDEX IF EXISTS song_by_singer;
DROP INDEX IF EXISTS singer_by_sex;
CREATE TABLE collation_version (
  collation TEXT PRIMARY KEY,
  version TEXT NOT NULL
);
