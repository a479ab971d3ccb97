#ifndef DATAGEN_TEXT_FORMAT_H
#define DATAGEN_TEXT_FORMAT_H

#include <string>

// A float as fixed-point text with the given decimals, never "-0"; the C locale's
// decimal point (the generator never changes the locale).
std::string FormatFloat(float value, int decimals = 4);

#endif
