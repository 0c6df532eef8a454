// PLACEHOLDER until the window framework lands.
