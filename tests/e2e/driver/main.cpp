// kiv_e2e: drives kiv.exe from outside, under Wine, as a user would.
//   kiv_e2e [--kiv PATH] [--dbgwin PATH] [--root DIR] [--pictures DIR] [--failure-images PREFIX]
//           run [SUITE | SUITE.CASE ...]
//   kiv_e2e list
//   kiv_e2e demo FOLDER [SCREENSHOT.png]   (used by scripts/run-kiv)
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "demo.h"
#include "harness.h"
#include "kiv.h"

int main(int argc, char** argv) {
    // The driver reads kiv's windows and the screen in physical pixels, whatever
    // DPI the program runs at.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    e2e::Config& config = e2e::Settings();
    int i = 1;
    for (; i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
        const std::string option = argv[i];
        if (option == "--kiv") config.kivPath = argv[i + 1];
        else if (option == "--dbgwin") config.dbgwinPath = argv[i + 1];
        else if (option == "--root") config.rootDir = argv[i + 1];
        else if (option == "--pictures") config.picturesDir = argv[i + 1];
        else if (option == "--failure-images") config.failureImages = argv[i + 1];
        else {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            return 2;
        }
    }
    const std::string command = i < argc ? argv[i] : "";
    if (command == "list") {
        e2e::ListCases();
        return 0;
    }
    if (command == "run") return e2e::RunSuites(argc - i - 1, argv + i + 1);
    if (command == "demo" && i + 1 < argc) return e2e::RunDemo(argv[i + 1], i + 2 < argc ? argv[i + 2] : "");
    std::fprintf(stderr, "usage: kiv_e2e [--kiv PATH] [--dbgwin PATH] [--root DIR] [--pictures DIR] "
                         "[--failure-images PREFIX] run|list|demo ...\n");
    return 2;
}
