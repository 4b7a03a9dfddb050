// Pictures that cannot be shown: a message box with the right text, caption
// "信息" and only OK; once OK is pressed the program ends with code 0.
#include "failures.h"

#include <functional>

#include "harness.h"
#include "kiv.h"

namespace e2e {

void ExpectFatalMessage(Kiv& kiv, const std::vector<const wchar_t*>& allowedTexts, const char* context) {
    const MessageBoxSeen seen = kiv.WaitMessageBox();
    bool textAllowed = false;
    std::string allowed;
    for (const wchar_t* text : allowedTexts) {
        textAllowed = textAllowed || seen.text == text;
        allowed += " \"" + Narrow(text) + "\"";
    }
    CHECK(textAllowed, "%s: message \"%s\", expected one of%s", context, Narrow(seen.text).c_str(), allowed.c_str());
    CHECK(seen.caption == INFO_CAPTION, "%s: caption \"%s\", not \"信息\"", context, Narrow(seen.caption).c_str());
    CHECK(seen.visibleButtons == 1 && seen.okButton, "%s: the box has %d buttons%s", context, seen.visibleButtons,
          seen.okButton ? "" : " and none is OK");
    PostMessageW(seen.box, WM_COMMAND, IDOK, 0);
    const DWORD code = kiv.WaitExit();
    CHECK(code == 0, "%s: exit code %lu after OK", context, code);
}

// Whatever keeps the start picture from showing (no file, no bytes, no
// picture, a folder of its name) is told the same way.
E2E_CASE(failures, start_picture_that_cannot_be_shown) {
    const std::string text = "This is not a picture.\r\nss6.jpg holds plain text.\r\n";
    const struct {
        const char* caseName;
        const char* context;
        std::function<bool(const std::string&)> make;
    } starts[] = {
        {"failure_missing", "no ss6.jpg", [](const std::string&) { return true; }},
        {"failure_empty", "empty ss6.jpg", [](const std::string& path) { return WriteBytes(path, {}); }},
        {"failure_text", "text in ss6.jpg",
         [&](const std::string& path) { return WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end())); }},
        {"bad_directory", "a directory named ss6.jpg",
         [](const std::string& path) {
             MakeDirectories(path);
             return true;
         }},
    };
    for (const auto& start : starts) {
        Kiv kiv(start.caseName);
        REQUIRE(start.make(kiv.PicturePath()), "%s: cannot make the file", start.context);
        kiv.Launch();
        ExpectFatalMessage(kiv, {DECODE_FAILED}, start.context);
    }
}

}  // namespace e2e
