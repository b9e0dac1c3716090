# Fails when a core source includes a QtGui or QtWidgets header.
file(GLOB_RECURSE core_sources
  ${ROOT}/store/*.h ${ROOT}/store/*.cpp
  ${ROOT}/race/*.h ${ROOT}/race/*.cpp
  ${ROOT}/favourites/*.h ${ROOT}/favourites/*.cpp
  ${ROOT}/session/*.h ${ROOT}/session/*.cpp
  ${ROOT}/library/*.h ${ROOT}/library/*.cpp
  ${ROOT}/fetch/*.h ${ROOT}/fetch/*.cpp)
set(offenders "")
foreach(f IN LISTS core_sources)
  file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](QtGui|QtWidgets|QWidget|QColor|QFont|QPixmap|QImage|QPainter|QApplication|QGuiApplication|QMessageBox)")
  if(lines)
    list(APPEND offenders "${f}: ${lines}")
  endif()
endforeach()
if(offenders)
  message(FATAL_ERROR "GUI headers in the core:\n${offenders}")
endif()
list(LENGTH core_sources checked)
message(STATUS "core is free of GUI headers (${checked} files checked)")
