# Debian ships liblzo2 without a CMake or pkg-config file that CMake can use: wrap it here.
find_library(LZO2_LIBRARY NAMES lzo2 REQUIRED)
find_path(LZO2_INCLUDE_DIR lzo/lzo1x.h REQUIRED)
add_library(Lzo::Lzo2 UNKNOWN IMPORTED)
set_target_properties(Lzo::Lzo2 PROPERTIES
  IMPORTED_LOCATION ${LZO2_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${LZO2_INCLUDE_DIR})
