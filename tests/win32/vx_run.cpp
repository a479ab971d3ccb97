// Test tool: runs a program (the rest of the command line) with this one's
// standard handles, waits for it and writes its exit code to
// "exit_code.txt" in the working folder. Wine kills a process that is slow
// to finish exiting, and on a busy machine the code the program returned
// is then lost from the Unix exit status; this file keeps it.
#include <windows.h>
#include <cstdio>
#include <cstring>

// The command line after this program's own name.
static char* RestOfCommandLine()
{
    char* line = GetCommandLineA();
    bool quoted = false;
    for (; *line && (quoted || (*line != ' ' && *line != '\t')); line++) {
        if (*line == '"')
            quoted = !quoted;
    }
    while (*line == ' ' || *line == '\t')
        line++;
    return line;
}

static HANDLE Inheritable(DWORD which)
{
    HANDLE handle = GetStdHandle(which), copy = nullptr;
    if (handle && handle != INVALID_HANDLE_VALUE)
        DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS);
    return copy;
}

int main()
{
    DeleteFileA("exit_code.txt");
    STARTUPINFOA start = {};
    start.cb = sizeof(start);
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = Inheritable(STD_INPUT_HANDLE);
    start.hStdOutput = Inheritable(STD_OUTPUT_HANDLE);
    start.hStdError = Inheritable(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, RestOfCommandLine(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start,
                        &process)) {
        std::fprintf(stderr, "vx_run: cannot start %s (error %lu)\n", RestOfCommandLine(), GetLastError());
        return 127;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    FILE* file = std::fopen("exit_code.txt", "w");
    if (file) {
        std::fprintf(file, "%lu\n", code);
        std::fclose(file);
    }
    return (int)code;
}
