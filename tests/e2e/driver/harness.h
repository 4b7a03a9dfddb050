// A small test harness for the end-to-end driver: registered cases grouped in
// suites, checks that record a failure and go on, requirements that end the
// current case, and cases that cannot run here and say why (skipped).
#pragma once

#include <windows.h>

#include <cstdarg>
#include <functional>
#include <string>

namespace e2e {

using TestBody = void (*)();

struct Registrar {
    Registrar(const char* suite, const char* name, TestBody body);
};

// Thrown by Require and by waits that find the program dead; ends the case.
struct CaseAborted {};
// Thrown by Skip: the case cannot run on this build or machine.
struct CaseSkipped {
    std::string reason;
};

void Fail(const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void Note(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void Abort(const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Ends the case as skipped, with the reason: it cannot run on this build or
// machine. A case that has already failed stays failed.
[[noreturn]] void Skip(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The exit code of a run in which every selected case was skipped (ctest's
// SKIP_RETURN_CODE); any failure makes it 1, nothing selected 2.
constexpr int EXIT_ALL_SKIPPED = 77;

int RunSuites(int suiteCount, char** suites);
// The case that runs now, as suite.name.
const std::string& CurrentCase();
void ListCases();

// Called between polls of every wait: lets the driver's own windows paint and
// aborts the case early when the program under test has died or crashed.
using PollHook = std::function<void()>;
void SetPollHook(PollHook hook);

// Polls cond until it holds or timeoutMs passes; returns the last result.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD pollMs = 15);
// Lets time pass without any condition (still pumping the driver's messages).
// Only for what no event tells: Wine's cached key state running out.
void Pause(DWORD ms);

// Every wait in the tests is a condition with this time-out; it only runs out
// when something is wrong, so it is generous for a slow machine.
constexpr DWORD WAIT_TIMEOUT_MS = 20000;

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace e2e

#define E2E_CASE(suite, name)                                              \
    static void suite##_##name();                                          \
    static ::e2e::Registrar suite##_##name##_registrar(#suite, #name,      \
                                                       suite##_##name);    \
    static void suite##_##name()

// Records a failure and goes on.
#define CHECK(cond, ...)                                                   \
    do {                                                                   \
        if (!(cond)) ::e2e::Fail(__FILE__, __LINE__, __VA_ARGS__);         \
    } while (0)

// Records a failure and ends the case.
#define REQUIRE(cond, ...)                                                 \
    do {                                                                   \
        if (!(cond)) ::e2e::Abort(__FILE__, __LINE__, __VA_ARGS__);        \
    } while (0)
