// The message reader over any text; each message's block is then made as the
// world makes it, 200 wide.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "game/world/message_file.h"
#include "render/text.h"
#include "render/text_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        CreateTextGlobals();
        ready = true;
    }
    std::istringstream in(std::string((const char*)data, size));
    std::vector<MessageFileEntry> messages;
    ParseMessageFile(in, "fuzz", messages);
    for (const MessageFileEntry& m : messages) {
        if (m.name.empty() || m.image.empty() || m.format.find('"') != std::string::npos ||
            m.format.size() > MaxMessageLine) {
            __builtin_trap();
        }
        CTextBlock block;
        block.SetMaxWidth(200.0f);
        CTextBlock::SetFormatFromString(block, m.format, m.arguments);
    }
    return 0;
}
