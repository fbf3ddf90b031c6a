"""The internals of with-virtual-port; the script's own text says what it does."""
