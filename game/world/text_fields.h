// Strict field readers for the level and message files: a field is taken only
// when all of it (blanks around it aside) is one number.
#ifndef GAME_WORLD_TEXT_FIELDS_H
#define GAME_WORLD_TEXT_FIELDS_H

#include <istream>
#include <string>
#include <vector>

bool ParseIntField(const std::string& field, int& out);
bool ParseFloatField(const std::string& field, float& out);  // finite only
std::string TrimBlanks(const std::string& text);             // blanks and tabs

// Every line of the stream, without line ends (a CR before the LF is dropped).
void ReadAllLines(std::istream& in, std::vector<std::string>& lines);

#endif
