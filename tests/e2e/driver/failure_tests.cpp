// Pictures that cannot be shown: a message box with the right text, caption
// "信息" and only OK; once OK is pressed the program ends with code 0.
#include "failures.h"

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

E2E_CASE(failures, missing_file) {
    Kiv kiv("failure_missing");
    kiv.Launch();
    ExpectFatalMessage(kiv, {DECODE_FAILED}, "no ss6.jpg");
}

E2E_CASE(failures, empty_file) {
    Kiv kiv("failure_empty");
    REQUIRE(WriteBytes(kiv.PicturePath(), {}), "cannot write the file");
    kiv.Launch();
    ExpectFatalMessage(kiv, {DECODE_FAILED}, "empty ss6.jpg");
}

E2E_CASE(failures, text_file) {
    Kiv kiv("failure_text");
    const std::string text = "This is not a picture.\r\nss6.jpg holds plain text.\r\n";
    REQUIRE(WriteBytes(kiv.PicturePath(), std::vector<uint8_t>(text.begin(), text.end())), "cannot write the file");
    kiv.Launch();
    ExpectFatalMessage(kiv, {DECODE_FAILED}, "text in ss6.jpg");
}

}  // namespace e2e
