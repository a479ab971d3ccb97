// Text layout over any bytes: the first three bytes pick the wrap width, the
// size and fixed pitch; byte 0x1F starts a new colour run. Every layout must
// end, take at least one character per line and fit the vertex cache.
#include <cstddef>
#include <cstdint>
#include <string>

#include "render/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) {
        return 0;
    }
    CText text;
    text.SetWrapWidth(data[0] / 4.0f);
    text.SetSize(1.0f + data[1] % 70);
    text.SetFixedPitch(data[2] & 1, (data[2] >> 1) / 64.0f);
    std::string piece;
    for (size_t i = 3; i <= size; i++) {
        if (i == size || data[i] == 0x1F) {
            text += CText(piece);
            piece.clear();
            if (i < size) {
                text.AddColour(0xFF000000u | (uint32_t)i * 2654435761u);
            }
        } else {
            piece += (char)data[i];
        }
    }

    int length = (int)text.GetString().size();
    int offset = 0;
    int lines = 0;
    std::string line;
    float width;
    bool more = true;
    while (more) {
        int before = offset;
        more = text.NextLine(offset, line, width, true);
        if (more && offset <= before) {
            __builtin_trap();   // no progress: the layout would never end
        }
        if (++lines > length + 1) {
            __builtin_trap();
        }
    }
    float l, t, r, b;
    text.GetBounds(l, t, r, b);
    text.Draw();
    if (text.GetVertexCount() > 6 * length) {
        __builtin_trap();
    }
    return 0;
}
