#include "game/world/message_file.h"

#include "core/error.h"
#include "core/files.h"
#include "core/sections.h"
#include "core/strings.h"
#include "game/world/text_fields.h"

namespace {

const char* const TokenSeparators = " \"\t";

void Report(const std::string& fileName, size_t index, const std::string& what) {
    ReportError("Error", "LoadMessages()-" + fileName + " line " + IntToString((int)index + 1) +
                             ": " + what);
}

// The next token from at, ended by a separator; at is left on that separator.
std::string NextToken(const std::string& line, size_t& at) {
    at = line.find_first_not_of(TokenSeparators, at);
    if (at == std::string::npos) {
        at = line.size();
        return std::string();
    }
    size_t end = line.find_first_of(TokenSeparators, at);
    if (end == std::string::npos) {
        end = line.size();
    }
    std::string token = line.substr(at, end - at);
    at = end;
    return token;
}

bool ParseMessageLine(const std::string& line, MessageFileEntry& entry, std::string& fault) {
    size_t at = 0;
    std::string id = NextToken(line, at);
    entry.name = NextToken(line, at);
    entry.image = NextToken(line, at);
    if (entry.image.empty()) {
        fault = "needs an identifier, a name and an image";
        return false;
    }
    if (!ParseIntField(id, entry.id)) {
        fault = "bad identifier \"" + id + "\"";
        return false;
    }
    // However many blanks stand before the opening quote, the format is the
    // quoted text; an empty "" is a format too.
    at = line.find_first_not_of(" \t", at);
    if (at == std::string::npos) {
        at = line.size();
    } else if (line[at] == '"') {
        at++;
    }
    size_t close = line.find('"', at);
    if (close == std::string::npos) {
        close = line.size();
    }
    entry.format = line.substr(at, close - at);
    entry.arguments = close < line.size() ? TrimBlanks(line.substr(close + 1)) : std::string();
    return true;
}

}  // namespace

void ParseMessageFile(std::istream& in, const std::string& fileName,
                      std::vector<MessageFileEntry>& messages) {
    std::vector<std::string> lines;
    ReadAllLines(in, lines);
    std::vector<std::string> tokens;
    if (!lines.empty()) {
        SplitString(lines[0], tokens, TokenSeparators);
    }
    int count = 0;
    if (tokens.size() < 2 || !ParseIntField(tokens[1], count) || count < 0) {
        Report(fileName, 0, "no message count");
        return;
    }
    // The count line is followed by a heading; the messages start after it.
    for (int n = 0; n < count && n < MaxSectionCount; n++) {
        size_t index = 2 + (size_t)n;
        if (index >= lines.size()) {
            Report(fileName, index, "ends after " + IntToString(n) + " of " + IntToString(count) +
                                        " messages");
            return;
        }
        MessageFileEntry entry;
        entry.line = (int)index + 1;
        std::string fault;
        if (lines[index].size() > MaxMessageLine) {
            fault = "line longer than " + IntToString((int)MaxMessageLine) + " characters";
        } else if (ParseMessageLine(lines[index], entry, fault)) {
            messages.push_back(entry);
            continue;
        }
        Report(fileName, index, fault + ", message skipped");
    }
}

bool ReadMessageFile(const std::string& path, std::vector<MessageFileEntry>& messages) {
    std::ifstream in;
    if (!OpenInputFile(in, path)) {
        return false;
    }
    ParseMessageFile(in, path, messages);
    return true;
}
