#ifndef CORE_ERROR_H
#define CORE_ERROR_H

#include <string>

// Every failure is reported as ReportError("Error", "Class::Operation()-what failed")
// and the caller then acts on the result. Each report is appended as one line to
// "_error.txt" in the working folder, the file the start-up message box points at.
void ReportError(const std::string& title, const std::string& message);

// Test seams: the number of reports so far and the last one ("title: message").
int ErrorReportCount();
std::string LastErrorReport();
// Test seam: the file the reports go to (a fresh one is started at the next report).
void SetErrorReportFile(const std::string& path);

// A log-file object. The five instances hold no file; "_error.txt" is written by
// ReportError itself.
class CLogFile {
public:
    explicit CLogFile(const char* fileName);
    virtual ~CLogFile();

    const std::string& FileName() const { return fileName; }

private:
    std::string fileName;
};

extern CLogFile g_meshStatsLog;   // "_meshStats.txt"
extern CLogFile g_shadersLog;     // "_shaders.txt"
extern CLogFile g_errorLog;       // "_error.txt"
extern CLogFile g_statLog;        // "_stat.txt"
extern CLogFile g_collisionLog;   // "_collision.txt"

#endif
