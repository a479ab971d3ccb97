// Text block formats over any bytes: the first byte picks the maximum width,
// the text up to the first newline is the format, the rest the arguments.
// Layout and draw must stay in bounds with one height per line, and every
// line must hold something.
#include <cstddef>
#include <cstdint>
#include <string>

#include "render/text.h"
#include "render/text_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        CreateTextGlobals();
        ready = true;
    }
    if (size < 1) {
        return 0;
    }
    std::string text((const char*)data + 1, size - 1);
    size_t split = text.find('\n');
    std::string format = text.substr(0, split);
    std::string arguments = split == std::string::npos ? std::string() : text.substr(split + 1);

    CTextBlock block;
    block.SetMaxWidth(1.0f + data[0] * 2.0f);
    CTextBlock::SetFormatFromString(block, format, arguments);
    if (block.GetLines().size() != block.GetLineHeights().size()) {
        __builtin_trap();
    }
    for (const std::string& line : block.GetLines()) {
        if (line.empty()) {
            __builtin_trap();
        }
    }
    block.Draw(0.0f, 0.0f);
    return 0;
}
