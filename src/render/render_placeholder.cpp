// Placeholder until the first renderer lands.
