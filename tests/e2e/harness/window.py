"""Form1 as the suite and the bench click it: its controls in client
coordinates at 96 DPI (x, y, width, height)."""

CHECK1 = (264, 104, 129, 17)
COMMAND1 = (328, 128, 57, 25)
TEXT1 = (88, 136, 121, 19)
WINDOW_SIZE = (391, 160)
