// Console command lines over any bytes; byte 0xF1 ends a line (Enter). The
// output box keeps at most its 35 lines however many replies come.
#include <cstddef>
#include <cstdint>

#include "app/console.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CDebugConsole* console = nullptr;
    if (!console) {
        CreateDebugConsole();
        console = g_debugConsole;
        HookInt(console, "particlecount", 3);
        HookVector3(console, "playerpos", Vector3{1.0f, 2.0f, 3.0f});
    }
    for (size_t i = 0; i <= size; i++) {
        if (i == size || data[i] == 0xF1) {
            console->ExecuteCommand();
        } else {
            console->InputLine() += (char)data[i];
        }
    }
    if (console->GetOutput().GetLineCount() > 35 || !console->InputLine().empty()) {
        __builtin_trap();
    }
    console->Draw();
    return 0;
}
