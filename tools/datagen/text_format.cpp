#include "tools/datagen/text_format.h"

#include <cstdio>
#include <cstring>

std::string FormatFloat(float value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, (double)value);
  // "-0.0000" and friends: every digit zero means zero.
  if (text[0] == '-' && std::strspn(text + 1, "0.") == std::strlen(text + 1))
    return std::string(text + 1);
  return text;
}
