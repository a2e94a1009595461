// Placeholder until the application windows land.
