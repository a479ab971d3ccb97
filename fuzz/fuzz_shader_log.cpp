// Driver compile logs of any text: rewritten line by line without reading
// past a line, whatever the offset; and judged for errors (as the Direct3D
// loader judges its compiler's text) without reading past the end, a
// warning line never changing the verdict and an error line always making it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "render/device_choices.h"
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
    bool verdict = CompileLogReportsError(log);
    if (CompileLogReportsError(log + "\nwarning X3206: implicit truncation\n") != verdict ||
        !CompileLogReportsError(log + "\n<anonymous>:1:1: E5017: dropped\n"))
        __builtin_trap();
    return 0;
}
