// Keeps a layer library linkable while its folder is still being filled.
