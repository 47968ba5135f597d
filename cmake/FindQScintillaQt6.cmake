# Finds QScintilla built for Qt 6 (Debian: libqscintilla2-qt6-dev) and defines the
# imported target QScintilla::QScintilla. It ships no CMake or pkg-config file of its
# own: the headers are in Qt's include folder below Qsci/, the library is
# libqscintilla2_qt6.
find_path(QScintillaQt6_INCLUDE_DIR Qsci/qsciscintilla.h
  HINTS ${Qt6Core_INCLUDE_DIRS} ${QT6_INSTALL_PREFIX}/include
  PATH_SUFFIXES qt6 ${CMAKE_LIBRARY_ARCHITECTURE}/qt6)
find_library(QScintillaQt6_LIBRARY NAMES qscintilla2_qt6)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(QScintillaQt6
  REQUIRED_VARS QScintillaQt6_LIBRARY QScintillaQt6_INCLUDE_DIR)

if(QScintillaQt6_FOUND AND NOT TARGET QScintilla::QScintilla)
  add_library(QScintilla::QScintilla UNKNOWN IMPORTED)
  set_target_properties(QScintilla::QScintilla PROPERTIES
    IMPORTED_LOCATION "${QScintillaQt6_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${QScintillaQt6_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES "Qt6::Widgets;Qt6::PrintSupport")
endif()
mark_as_advanced(QScintillaQt6_INCLUDE_DIR QScintillaQt6_LIBRARY)
