CREATE TABLE album (
  album_id INTEGER PRIMARY KEY
)

  	
CREATE INDEX i ON album (album_id)


DROP TABLE x