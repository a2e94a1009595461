// Placeholder until the headless context lands.
