// Reading a shown file again: F5 for the active window alone, and automatic
// reload on the folder's change notifications for every window on the file.
// Same size keeps zoom and position, a new size starts over, and a file that
// is gone or no longer decodes leaves the windows as they were.
#include "harness.h"
#include "kiv.h"
#include "screen.h"
#include "steps.h"

namespace e2e {
namespace {

// With automatic reload off nothing happens that a test could wait for:
// "nothing followed the file" is looked for this long. A failure of that
// check is a reload that came; a slow machine can only make it miss one.
constexpr DWORD QUIET_MS = 2500;
const std::vector<uint8_t> NOT_A_PICTURE_BYTES = {'n', 'o', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};

// The program may be reading the file just then: write until it lets us.
void Rewrite(Kiv& kiv, const std::vector<uint8_t>& bytes) {
    REQUIRE(WaitUntil([&] { return WriteBytes(kiv.PicturePath(), bytes); }, WAIT_TIMEOUT_MS), "cannot write %s",
            kiv.PicturePath().c_str());
}

void Remove(Kiv& kiv) {
    REQUIRE(WaitUntil([&] { return DeleteFileA(kiv.PicturePath().c_str()) != FALSE; }, WAIT_TIMEOUT_MS),
            "cannot delete %s", kiv.PicturePath().c_str());
}

ViewExpectation Expected(const Picture& picture, const ZoomStepModel& model) {
    return {&picture, model.zoom(), model.srcX(), model.srcY()};
}

// Two windows on ss6.jpg side by side, both 300 x 250: the first at 100 %,
// the second (active) at 200 % and a page down.
struct TwoWindows {
    HWND older = nullptr, active = nullptr;
    ZoomStepModel olderModel{600, 500, 300, 250}, activeModel{600, 500, 300, 250};
};

TwoWindows OpenTwoWindows(Kiv& kiv, const Picture& picture) {
    kiv.WritePicture(picture);
    TwoWindows two;
    two.older = kiv.Start();
    kiv.SendCommand(IDM_NEW);
    two.active = kiv.WaitChildCount(2);
    MoveChild(two.older, 0, 0);
    MoveChild(two.active, 340, 0);
    REQUIRE(SetClientSize(two.older, 300, 250) && SetClientSize(two.active, 300, 250), "cannot size the windows");
    kiv.SendCommand(IDM_ZOOM_IN_PRESET);
    two.activeModel.Step(150, 125, true, true);
    kiv.SendCommand(IDM_PAGE_DOWN);
    two.activeModel.ScrollBy(0, 250 - PAGE_OVERLAP);
    ExpectView(two.active, Expected(picture, two.activeModel), "zoomed and scrolled");
    return two;
}

bool BothShow(const TwoWindows& two, const Picture& picture) {
    return ViewShows(two.older, Expected(picture, two.olderModel), nullptr) &&
           ViewShows(two.active, Expected(picture, two.activeModel), nullptr);
}

void ExpectReason(Kiv& kiv, const wchar_t* reason, const char* context) {
    CHECK(WaitUntil([&] { return kiv.StatusW(3) == reason; }, WAIT_TIMEOUT_MS), "%s: part 3 reads \"%s\", not \"%s\"",
          context, Narrow(kiv.StatusW(3)).c_str(), Narrow(reason).c_str());
}

}  // namespace

E2E_CASE(reload, f5_reads_the_active_window_again) {
    Kiv kiv("reload_f5");
    const Picture picture = PatternPicture(600, 500), rewritten = TintedPicture(picture, 0x21),
                  resized = PatternPicture(500, 400);
    TwoWindows two = OpenTwoWindows(kiv, picture);
    // Same size: zoom and position stay; the other window keeps the old picture.
    Rewrite(kiv, EncodeBmp(rewritten));
    MoveCursorToClient(two.active, 20, 20);
    TapKey(VK_F5);
    ExpectStep(kiv, two.active, rewritten, two.activeModel, 20, 20, "F5 on the same size");
    ExpectView(two.older, Expected(picture, two.olderModel), "the other window after F5");
    // A new size starts over as a new picture does.
    Rewrite(kiv, EncodeBmp(resized));
    kiv.SendCommand(IDM_RELOAD);
    two.activeModel = ZoomStepModel(500, 400, 300, 250);
    ExpectStep(kiv, two.active, resized, two.activeModel, 20, 20, "reload of a new size");
    CHECK(kiv.Status(3) == "500 x 400   1/1", "part 3 reads \"%s\"", kiv.Status(3).c_str());
    // Not a picture any more, then gone: the window stays, the reason in part 3.
    Rewrite(kiv, NOT_A_PICTURE_BYTES);
    kiv.SendCommand(IDM_RELOAD);
    ExpectReason(kiv, REASON_NOT_A_PICTURE, "reload of a file that is no picture");
    Remove(kiv);
    kiv.SendCommand(IDM_RELOAD);
    ExpectReason(kiv, REASON_NOT_FOUND, "reload of a deleted file");
    ExpectView(two.active, Expected(resized, two.activeModel), "after the failed reloads");
    CHECK(kiv.FindMessageBox() == nullptr, "a failed reload showed a message box");
}

E2E_CASE(reload, automatic_reload_follows_the_file_on_disk) {
    Kiv kiv("reload_auto");
    const Picture picture = PatternPicture(600, 500), resized = PatternPicture(500, 400);
    std::vector<Picture> versions;
    for (uint32_t mask = 0x10; mask <= 0x40; mask += 0x08) versions.push_back(TintedPicture(picture, mask));
    TwoWindows two = OpenTwoWindows(kiv, picture);

    // Off by default: were it on, the command would turn it off and the
    // rewrite after it would never show.
    kiv.SendCommand(IDM_AUTO_RELOAD);
    Rewrite(kiv, EncodeBmp(versions[0]));
    CHECK(WaitUntil([&] { return BothShow(two, versions[0]); }, WAIT_TIMEOUT_MS),
          "a rewrite of the same size did not show in both windows, at their zoom and place");

    // A burst of writes is one reload: written while kiv's window thread is
    // held, they all lie before the first change it hears of, so none of the
    // versions before the last shows, even for a moment, however slow the
    // machine. The hold scrolls the active window a line down.
    const int cx = 40, cy = 30;
    {
        HeldWindowThread hold(two.active);
        REQUIRE(hold.Holding(), "kiv's window thread could not be held");
        for (size_t k = 1; k < versions.size(); ++k) Rewrite(kiv, EncodeBmp(versions[k]));
    }
    two.activeModel.ScrollBy(0, LINE_STEP);
    const int64_t px = two.activeModel.ImageAtX(cx), py = two.activeModel.ImageAtY(cy);
    int seen = -1;
    auto intermediate = [&] {
        const uint32_t shown = ScreenPixelAtClient(two.active, cx, cy);
        for (size_t k = 1; k + 1 < versions.size(); ++k)
            if (shown == versions[k].colour(static_cast<int>(px), static_cast<int>(py))) seen = static_cast<int>(k);
        return seen >= 0;
    };
    CHECK(WaitUntil([&] { return intermediate(), BothShow(two, versions.back()); }, WAIT_TIMEOUT_MS),
          "the last of a burst of writes did not show in both windows");
    CHECK(seen < 0, "version %d of a burst of %u writes showed on its own", seen,
          static_cast<unsigned>(versions.size() - 1));

    // A new size starts both windows over.
    Rewrite(kiv, EncodeBmp(resized));
    two.olderModel = two.activeModel = ZoomStepModel(500, 400, 300, 250);
    CHECK(WaitUntil([&] { return BothShow(two, resized); }, WAIT_TIMEOUT_MS),
          "a rewrite of a new size did not show in both windows");
    ExpectView(two.active, Expected(resized, two.activeModel), "a new size");

    // Gone, then back as something that does not decode: the windows stay.
    Remove(kiv);
    ExpectReason(kiv, REASON_NOT_FOUND, "deleted");
    Rewrite(kiv, NOT_A_PICTURE_BYTES);
    ExpectReason(kiv, REASON_NOT_A_PICTURE, "rewritten as no picture");
    CHECK(BothShow(two, resized), "the windows changed after their file went");

    // Off again: nothing follows the file.
    kiv.SendCommand(IDM_AUTO_RELOAD);
    Rewrite(kiv, EncodeBmp(picture));
    CHECK(!WaitUntil([&] { return !BothShow(two, resized); }, QUIET_MS), "a rewrite showed after turning it off");
    CHECK(kiv.FindMessageBox() == nullptr, "automatic reload showed a message box");
}

}  // namespace e2e
