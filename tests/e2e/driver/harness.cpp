#include "harness.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace e2e {
namespace {

struct RegisteredCase {
    const char* suite;
    const char* name;
    TestBody body;
};

std::vector<RegisteredCase>& Cases() {
    static std::vector<RegisteredCase> cases;
    return cases;
}

int failuresInCase = 0;
std::string currentCase;
constexpr DWORD FAILED_CASE_TIMEOUT_MS = 2000;
PollHook pollHook;

void PumpOwnMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void Report(const char* kind, const char* file, int line, const char* format, va_list args) {
    const char* base = std::strrchr(file, '/');
    std::printf("  %s at %s:%d: ", kind, base ? base + 1 : file, line);
    std::vprintf(format, args);
    std::printf("\n");
    std::fflush(stdout);
}

bool Selected(const RegisteredCase& c, int suiteCount, char** suites) {
    if (suiteCount == 0) return true;
    for (int i = 0; i < suiteCount; ++i) {
        std::string wanted = suites[i];
        std::string full = std::string(c.suite) + "." + c.name;
        if (wanted == c.suite || wanted == full) return true;
    }
    return false;
}

}  // namespace

Registrar::Registrar(const char* suite, const char* name, TestBody body) {
    Cases().push_back({suite, name, body});
}

void Fail(const char* file, int line, const char* format, ...) {
    ++failuresInCase;
    va_list args;
    va_start(args, format);
    Report("FAILED", file, line, format, args);
    va_end(args);
}

void Abort(const char* file, int line, const char* format, ...) {
    ++failuresInCase;
    va_list args;
    va_start(args, format);
    Report("FAILED (case ended)", file, line, format, args);
    va_end(args);
    throw CaseAborted{};
}

void Skip(const char* format, ...) {
    char reason[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(reason, sizeof reason, format, args);
    va_end(args);
    throw CaseSkipped{reason};
}

void Note(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::printf("  note: ");
    std::vprintf(format, args);
    std::printf("\n");
    std::fflush(stdout);
    va_end(args);
}

std::string Format(const char* format, ...) {
    char buffer[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

void SetPollHook(PollHook hook) { pollHook = std::move(hook); }

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD pollMs) {
    // Once a case has failed, later waits are cut short so that a broken
    // program fails the suite quickly instead of waiting out every time-out.
    if (failuresInCase > 0 && timeoutMs > FAILED_CASE_TIMEOUT_MS) timeoutMs = FAILED_CASE_TIMEOUT_MS;
    // The time-out is a failure guard only: every caller waits for a condition.
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        PumpOwnMessages();
        if (cond()) return true;
        if (pollHook) pollHook();
        if (GetTickCount64() - start >= timeoutMs) return cond();
        Sleep(pollMs);
    }
}

void Pause(DWORD ms) {
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < ms) {
        PumpOwnMessages();
        Sleep(5);
    }
}

const std::string& CurrentCase() { return currentCase; }

void ListCases() {
    for (const auto& c : Cases()) std::printf("%s.%s\n", c.suite, c.name);
}

int RunSuites(int suiteCount, char** suites) {
    int passed = 0;
    int failed = 0;
    std::vector<std::string> failedNames;
    std::vector<std::string> skippedLines;  // name: reason
    for (const auto& c : Cases()) {
        if (!Selected(c, suiteCount, suites)) continue;
        const std::string name = std::string(c.suite) + "." + c.name;
        currentCase = name;
        std::printf("[ RUN      ] %s\n", name.c_str());
        std::fflush(stdout);
        failuresInCase = 0;
        bool skipped = false;
        std::string reason;
        const ULONGLONG start = GetTickCount64();  // for the log only
        try {
            c.body();
        } catch (const CaseAborted&) {
        } catch (const CaseSkipped& skip) {
            skipped = true;
            reason = skip.reason;
        }
        SetPollHook(nullptr);
        const double seconds = (GetTickCount64() - start) / 1000.0;
        if (failuresInCase > 0) {
            ++failed;
            failedNames.push_back(name);
            std::printf("[  FAILED  ] %s (%.1f s)\n", name.c_str(), seconds);
        } else if (skipped) {
            skippedLines.push_back(name + ": " + reason);
            std::printf("[  SKIPPED ] %s: %s\n", name.c_str(), reason.c_str());
        } else {
            ++passed;
            std::printf("[       OK ] %s (%.1f s)\n", name.c_str(), seconds);
        }
        std::fflush(stdout);
    }
    for (const auto& name : failedNames) std::printf("failed: %s\n", name.c_str());
    for (const auto& line : skippedLines) std::printf("skipped: %s\n", line.c_str());
    const int skippedCount = static_cast<int>(skippedLines.size());
    std::printf("%d passed, %d failed, %d skipped\n", passed, failed, skippedCount);
    std::fflush(stdout);
    if (failed > 0) return 1;
    if (passed == 0) return skippedCount > 0 ? EXIT_ALL_SKIPPED : 2;
    return 0;
}

}  // namespace e2e
