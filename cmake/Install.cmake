# Install rules: the player, its two movies and the desktop entry.
