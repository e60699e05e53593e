#pragma once

#include <QtCore/qglobal.h>

// Symbols of libpellet; PELLET_BUILDING is defined only while the library itself compiles.
#if defined(PELLET_BUILDING)
#  define PELLET_EXPORT Q_DECL_EXPORT
#else
#  define PELLET_EXPORT Q_DECL_IMPORT
#endif
