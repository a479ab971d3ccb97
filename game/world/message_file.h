// The message file: a first line whose second token (separators blank, '"'
// and tab) is the message count, a heading line, then one message per line:
//   id name image "format" arguments
// The format is the text between the double quotes; the arguments are the
// rest of the line, split at blanks when the text block is made.
#ifndef GAME_WORLD_MESSAGE_FILE_H
#define GAME_WORLD_MESSAGE_FILE_H

#include <istream>
#include <string>
#include <vector>

struct MessageFileEntry {
    int id;
    std::string name;
    std::string image;
    std::string format;
    std::string arguments;  // blanks around it trimmed
    int line;
};

// Lines past the longest the game reads are refused.
const size_t MaxMessageLine = 499;

// The messages in file order; a line with a bad identifier or without a
// name and image is reported and left out. fileName only names the file in reports.
void ParseMessageFile(std::istream& in, const std::string& fileName,
                      std::vector<MessageFileEntry>& messages);
// False when the file cannot be opened (messages untouched).
bool ReadMessageFile(const std::string& path, std::vector<MessageFileEntry>& messages);

#endif
