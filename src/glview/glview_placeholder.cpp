// Placeholder until the view component lands.
