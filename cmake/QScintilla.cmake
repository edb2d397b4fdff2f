# Debian ships QScintilla for Qt 6 without a CMake or pkg-config file: wrap it here.
find_library(QSCINTILLA_LIBRARY NAMES qscintilla2_qt6 REQUIRED)
find_path(QSCINTILLA_INCLUDE_DIR Qsci/qsciscintilla.h PATH_SUFFIXES x86_64-linux-gnu/qt6 qt6
          REQUIRED)
add_library(QScintilla::QScintilla UNKNOWN IMPORTED)
set_target_properties(QScintilla::QScintilla PROPERTIES
  IMPORTED_LOCATION ${QSCINTILLA_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${QSCINTILLA_INCLUDE_DIR}
  INTERFACE_COMPILE_DEFINITIONS QSCINTILLA_DLL)
target_link_libraries(QScintilla::QScintilla INTERFACE Qt6::Widgets Qt6::PrintSupport)
