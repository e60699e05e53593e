#pragma once

#include <QtCore/qglobal.h>

// Symbols of liborrery; ORRERY_BUILDING is defined only while the library itself compiles.
#if defined(ORRERY_BUILDING)
#  define ORRERY_EXPORT Q_DECL_EXPORT
#else
#  define ORRERY_EXPORT Q_DECL_IMPORT
#endif
