#include "core/error.h"

#include <cstdio>
#include <mutex>

#include "core/files.h"

// Constructed in this order at start-up, all in this one file.
CLogFile g_meshStatsLog("_meshStats.txt");
CLogFile g_shadersLog("_shaders.txt");
CLogFile g_errorLog("_error.txt");
CLogFile g_statLog("_stat.txt");
CLogFile g_collisionLog("_collision.txt");

CLogFile::CLogFile(const char* name) : fileName(name) {
}

CLogFile::~CLogFile() {
}

namespace {

// Function-local so that reports from static initialisers find it constructed.
std::mutex& ReportMutex() {
    static std::mutex m;
    return m;
}

int reportCount = 0;
bool fileStarted = false;
std::string& ErrorFile() {
    static std::string name = "_error.txt";
    return name;
}
std::string& LastReport() {
    static std::string last;
    return last;
}

}  // namespace

void ReportError(const std::string& title, const std::string& message) {
    std::lock_guard<std::mutex> guard(ReportMutex());
    std::string line = title + ": " + message;
    ++reportCount;
    LastReport() = line;

    // Messages are one line each; a line break inside one would split the entry.
    for (char& c : line) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    // Fuzzing reports thousands of faults a second; those stay in memory.
#ifndef VEXMOOR_FUZZING
    // The first report of a run starts a fresh file, so it holds this run only.
    FILE* f = OpenFile(ErrorFile(), fileStarted ? "a" : "w");
    fileStarted = true;
    if (f) {
        fputs(line.c_str(), f);
        fputc('\n', f);
        fclose(f);
    }
#endif
}

int ErrorReportCount() {
    std::lock_guard<std::mutex> guard(ReportMutex());
    return reportCount;
}

std::string LastErrorReport() {
    std::lock_guard<std::mutex> guard(ReportMutex());
    return LastReport();
}

void SetErrorReportFile(const std::string& path) {
    std::lock_guard<std::mutex> guard(ReportMutex());
    ErrorFile() = path;
    fileStarted = false;
}
