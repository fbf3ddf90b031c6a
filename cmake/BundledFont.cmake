# The window's face travels inside the program, built from the system's copy
# of Liberation Sans (Debian: fonts-liberation2), so every caption fits on
# every machine, whatever fonts it has. Sets BUNDLED_FONT to the file.
find_file(BUNDLED_FONT LiberationSans-Regular.ttf
  PATHS /usr/share/fonts/truetype/liberation2 /usr/share/fonts/truetype/liberation
        /usr/share/fonts/liberation-sans /usr/share/fonts/TTF
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT BUNDLED_FONT)
  message(FATAL_ERROR "Liberation Sans not found: install fonts-liberation2")
endif()
