-- Frames of ten dashes, the member line on, no module header.
UPDATE Comments SET IncludeModule = 0, IncludeStandard = 1, IncludeMember = 1, IncludeDelim = 1, DelimStr = '-', DelimNr = 10, Member = ''' Revised:'
