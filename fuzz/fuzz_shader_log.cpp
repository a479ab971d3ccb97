// Driver compile logs of any text: rewritten line by line without reading
// past a line, whatever the offset.
#include <cstddef>
#include <cstdint>
#include <string>

#include "render/render_maths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    int offset = int(int8_t(data[0])) * 1000;
    std::string log(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string out = RewriteShaderLog(log, offset);
    size_t inLines = 0, outLines = 0;
    for (char c : log)
        inLines += c == '\n';
    for (char c : out)
        outLines += c == '\n';
    if (inLines != outLines)
        __builtin_trap();
    return 0;
}
