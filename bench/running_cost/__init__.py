"""The internals of bench/running-cost; the script's own text says what it measures."""
