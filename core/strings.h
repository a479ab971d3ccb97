#ifndef CORE_STRINGS_H
#define CORE_STRINGS_H

#include <string>
#include <vector>

// Path pieces. The game writes backslashes, but names from data files may use
// '/' as well: both separate folders. Only dots after the last separator
// count, so a dotted folder name is never taken for an extension.
std::string GetDirectoryPart(const std::string& path);  // up to and including the last '\' or '/'
std::string GetFileBaseName(const std::string& path);   // name without folder and extension
std::string GetFileExtension(const std::string& path);  // after the last dot; empty without one
std::string StripExtension(const std::string& path);    // before the last dot

// Cache files are named after text from data files, which must never reach
// outside the cache folder. A plain file name is one name inside the folder it
// is put in: not empty or ".", no "..", no '\\', '/' or ':' (folders, drives,
// streams), no control byte, and no Windows device name (CON, NUL, COM1...)
// with or without an extension.
bool IsPlainFileName(const std::string& name);
// A relative path of plain names (empty pieces and "." allowed) between '\\'
// or '/': it names nothing outside the folder it starts from.
bool IsPathBelowFolder(const std::string& path);

std::string ToLowerCase(const std::string& text);  // A-Z only
// Names the game looks up without regard to case (files, clips, aliases): A-Z only.
bool EqualIgnoringCase(const std::string& a, const std::string& b);
void StripFirstToken(std::string& text);           // keeps the text after the first control byte
void SplitString(const std::string& text, std::vector<std::string>& out,
                 const char* delimiters);  // non-empty pieces, as strtok gives them
std::string IntToString(int n);
std::string FloatToString(float f);  // 10 significant digits

bool IsPrintableChar(char c);
bool IsLetter(char c);
unsigned ParseHex(const std::string& text);  // digits after a two-character prefix

// atoi / atof with defined results: out-of-range text is clamped (to the int
// range, or to an infinite float) instead of overflowing.
int TextToInt(const char* text);
float TextToFloat(const char* text);
inline int TextToInt(const std::string& text) { return TextToInt(text.c_str()); }
inline float TextToFloat(const std::string& text) { return TextToFloat(text.c_str()); }

// Float to int as (int)(f + 0.5) truncated toward zero, clamped to the int range;
// NaN gives 0.
int RoundFloatToInt(float f);
// floor(f + 0.5) written as a whole decimal number, exact for every finite
// float however large; "0" for NaN and infinities.
std::string WholeNumberText(float f);

#endif
