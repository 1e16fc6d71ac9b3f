-- The size and modification time of the song's files when their loudness was measured: a file
-- replaced under the same name is measured again. Empty for values kept before this step, which
-- are measured again once.
ALTER TABLE song_loudness ADD COLUMN file_size INTEGER;
ALTER TABLE song_loudness ADD COLUMN file_modified_ns INTEGER;
