-- A second row: the save rewrites every row.
INSERT INTO Comments VALUES (0, 0, 0, 0, 'x', 1, 'second', 'second')
