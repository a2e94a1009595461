# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Veliso contributors
# Fails the build when a file of the model core includes a Qt or OpenGL header.
# The core must stay plain C++ so that every model can be driven headless.
# Usage: cmake -DCORE_DIR=<dir> -P CheckCoreLayer.cmake
file(GLOB_RECURSE core_files "${CORE_DIR}/*.h" "${CORE_DIR}/*.cpp")
set(bad "")
foreach(f IN LISTS core_files)
  file(STRINGS "${f}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|qt|GL/|EGL/|KHR/|GLES|gl\\.h|glu\\.h|epoxy|QtCore|QtGui|QtWidgets|QtOpenGL)")
  if(lines)
    list(APPEND bad "${f}: ${lines}")
  endif()
endforeach()
if(bad)
  message(FATAL_ERROR "The model core may not include Qt or OpenGL headers:\n${bad}")
endif()
