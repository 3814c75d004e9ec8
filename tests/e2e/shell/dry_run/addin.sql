-- Two shortcuts; the second spans two lines.
INSERT INTO Shortcuts(ShortcutName, ShortcutContent) VALUES('Note', ''' Checked')
INSERT INTO Shortcuts(ShortcutName, ShortcutContent) VALUES('Header', ''' Written by the team'||char(13)||char(10)||''' Don''t edit by hand')
