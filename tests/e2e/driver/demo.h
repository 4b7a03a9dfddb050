// The sample run behind `make run`: a generated JPEG in a run folder, kiv
// opened there, and either a screenshot of the screen or a wait for the user.
#pragma once

#include <string>

namespace e2e {

// With a screenshot path: waits until the first document window shows the
// picture, saves the screen as PNG, ends kiv. Without: waits until the user
// closes kiv. Returns a process exit code.
int RunDemo(const std::string& folder, const std::string& screenshotPath);

}  // namespace e2e
