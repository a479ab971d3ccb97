#ifndef CORE_SECTIONS_H
#define CORE_SECTIONS_H

#include <fstream>
#include <istream>
#include <string>

// Readers for the sectioned text files (levels, the dialogue lines): a section
// is a line holding only its name, then a line "word<tab or blank>count", then a
// heading line, then the rows.

// Longest line the readers take, terminator included.
const int MaxTextLine = 500;
// Counts above this are treated as this many; readers stop at end of file anyway.
const int MaxSectionCount = 100000;

// One line without its line end. A CR before the LF is dropped, so files with
// Windows line ends read the same on every build. False at end of file.
bool ReadTextLine(std::istream& in, std::string& line);

// Seeks to the start and looks for a line equal to name (case-sensitive); leaves
// the stream at the start of that line. Works again after an earlier miss.
bool FindSection(std::istream& in, const std::string& name);
bool FindSection(std::ifstream& in, const std::string& name);  // false when not open

// From the start of the section's name line: skips it, reads the count line
// (at most 19 characters; longer puts the stream in its failed state) and skips
// the heading, so the stream stands at the first row. The count is the text after
// the line's first tab or blank; without one the count is 0 and the result false.
bool ReadSectionCount(std::istream& in, int& count);

#endif
