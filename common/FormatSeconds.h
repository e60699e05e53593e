#pragma once

#include <QString>

// Seconds as "HH:MM:SS": the largest whole number of seconds below the value
// (1 shows 00:00:00, 3601 shows 01:00:00); below 0.01 always "00:00:00".
// Hours are not capped at two digits.
QString FormatSeconds(double seconds);
