-- Two shortcuts of the same name, apart from a third.
INSERT INTO Shortcuts(ShortcutName, ShortcutContent) VALUES('Twin', ''' first')
INSERT INTO Shortcuts(ShortcutName, ShortcutContent) VALUES('Other', ''' other')
INSERT INTO Shortcuts(ShortcutName, ShortcutContent) VALUES('Twin', ''' second')
