CREATE TABLE album (
  album_id INTEGER PRIMARY KEY AUTOINCREMENT,
  original_path TEXT,
  face_picture_id INTEGER,
  album_date TEXT,
  short_name TEXT,
  is_private INTEGER DEFAULT 0,
  dir_name TEXT,
  long_name TEXT,
  description TEXT,
  alt_long_name TEXT,
  alt_description TEXT
)

CREATE INDEX album_original_path ON album (original_path)

CREATE TABLE picture (
  picture_id INTEGER PRIMARY KEY AUTOINCREMENT,
  title TEXT,
  alt_title TEXT,
  filename_original TEXT,
  filename_large TEXT,
  filename_medium TEXT,
  filename_thumb TEXT,
  hash_original TEXT,
  hash_large TEXT,
  hash_medium TEXT,
  hash_thumb TEXT,
  hash_temp TEXT,
  picture_date TEXT,
  is_private INTEGER DEFAULT 0,
  is_deleted INTEGER DEFAULT 0,
  orientation INTEGER,
  crop_X1 INTEGER,
  crop_Y1 INTEGER,
  crop_X2 INTEGER,
  crop_Y2 INTEGER,
  width INTEGER,
  height INTEGER,
  album_id INTEGER
)

CREATE INDEX picture_album_file ON picture (album_id, filename_original)

CREATE TABLE category (
  category_id INTEGER PRIMARY KEY AUTOINCREMENT,
  category_guid TEXT,
  title TEXT,
  alt_title TEXT,
  description TEXT,
  alt_description TEXT
)

CREATE INDEX category_guid ON category (category_guid)

CREATE TABLE picture_to_category (
  picture_id INTEGER,
  category_id INTEGER
)

CREATE INDEX picture_to_category_picture ON picture_to_category (picture_id)

CREATE INDEX picture_to_category_category ON picture_to_category (category_id)
