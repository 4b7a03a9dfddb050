// A small test harness for the end-to-end driver: registered cases grouped in
// suites, checks that record a failure and go on, and requirements that end
// the current case.
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
// Thrown by Skip: the case cannot run here and says why; it neither passes nor fails.
struct CaseSkipped {};

void Fail(const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void Note(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void Abort(const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
[[noreturn]] void Skip(const char* format, ...) __attribute__((format(printf, 1, 2)));

int RunSuites(int suiteCount, char** suites);
void ListCases();

// Called between polls of every wait: lets the driver's own windows paint and
// aborts the case early when the program under test has died or crashed.
using PollHook = std::function<void()>;
void SetPollHook(PollHook hook);

// Polls cond until it holds or timeoutMs passes; returns the last result.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD pollMs = 15);
// Lets time pass without any condition (still pumping the driver's messages).
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
