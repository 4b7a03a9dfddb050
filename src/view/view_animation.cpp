// Playing an animation in a document window: a timer brings each frame when
// the player says it is due, and the frame becomes the window's picture (same
// size: zoom and place stay), so the readouts, copy, turns and comparisons all
// act on the frame shown. A window that is hidden or minimised shows no new
// frames; it goes on from where it was once it shows again.

#include <windows.h>

#include "core/geometry/turn.h"
#include "view/commands.h"
#include "view/compare.h"
#include "view/view_handlers.h"
#include "core/text/text_ids.h"
#include "win32/texts.h"

namespace {

constexpr UINT FRAME_POLL_MS = 10;    // a frame still being composed: look again this soon
constexpr UINT HIDDEN_POLL_MS = 250;  // a hidden window looks whether it shows again
constexpr uint64_t MS_PER_SECOND = 1000;

uint64_t NowMs() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    const uint64_t ticks = static_cast<uint64_t>(count.QuadPart), perSecond = static_cast<uint64_t>(frequency.QuadPart);
    return ticks / perSecond * MS_PER_SECOND + ticks % perSecond * MS_PER_SECOND / perSecond;
}

bool Showing(const View* view, HWND window) {
    return IsWindowVisible(window) && !IsIconic(window) && !IsIconic(view->host->frame);
}

void ArmTimer(View* view, HWND window, uint64_t now) {
    const uint64_t wait = view->player.Wait(now);
    if (wait == WAIT_FOREVER) {
        KillTimer(window, ANIMATION_TIMER);
        return;
    }
    SetTimer(window, ANIMATION_TIMER, wait < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : static_cast<UINT>(wait), nullptr);
}

void StopPlaying(View* view, HWND window) {
    KillTimer(window, ANIMATION_TIMER);
    view->animation.reset();
    UpdatePictureReadout(view, window);
}

bool CursorInClient(HWND window) {
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    RECT client;
    GetClientRect(window, &client);
    return PtInRect(&client, cursor) != FALSE;
}

// Puts the frame on the screen now; false when it does not fit the view
// (never for frames of the animation the view was laid out for).
bool ShowFrame(View* view, HWND window, const std::shared_ptr<const Picture>& frame) {
    if (view->picture && (frame->Width() != view->picture->Width() || frame->Height() != view->picture->Height())) {
        return false;
    }
    view->picture = frame;
    // A difference view, flicker or wipe compares the frame on the screen,
    // and windows compared with this one follow it when it is the reference.
    PictureChanged(view, window);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    // The colour under the cursor is the new frame's.
    if (ActiveDocumentWindow(view->host->mdiClient) == window && CursorInClient(window)) {
        UpdateCursorReadouts(view, window);
    }
    return true;
}

}  // namespace

void StartAnimation(View* view, HWND window) {
    KillTimer(window, ANIMATION_TIMER);
    view->animation = view->picture ? view->picture->Moving() : nullptr;
    view->document = view->animation ? view->picture : nullptr;
    if (!view->animation) return;
    const uint64_t now = NowMs();
    view->player.Start(view->animation->FileDelays(), view->animation->Plays(), now);
    // The first frame is the picture itself; the next ones start composing now.
    std::shared_ptr<const Picture> ahead;
    view->animation->Frame(1 % view->animation->FrameCount(), ahead);
    ArmTimer(view, window, now);
}

void OnAnimationTimer(View* view, HWND window) {
    if (!view->animation) {
        KillTimer(window, ANIMATION_TIMER);
        return;
    }
    if (!Showing(view, window)) {
        SetTimer(window, ANIMATION_TIMER, HIDDEN_POLL_MS, nullptr);
        return;
    }
    // A second round when the frame due turned out to be past the file's end.
    for (int round = 0; round < 2; ++round) {
        const uint64_t now = NowMs();
        const uint32_t due = view->player.Due(now);
        if (due == NO_FRAME) break;
        std::shared_ptr<const Picture> frame;
        const FrameState state = view->animation->Frame(due, frame);
        if (state == FrameState::Pending) {
            SetTimer(window, ANIMATION_TIMER, FRAME_POLL_MS, nullptr);
            return;
        }
        if (state == FrameState::Missing) {
            if (due == 0) {
                // Not even the first frame can be composed: the picture stays a still.
                StopPlaying(view, window);
                return;
            }
            view->player.Truncate(due);
            continue;
        }
        if (!ShowFrame(view, window, frame)) {
            StopPlaying(view, window);
            return;
        }
        view->player.Shown(due, now);
        UpdatePictureReadout(view, window);
        break;
    }
    ArmTimer(view, window, NowMs());
}

bool RunAnimationCommand(View* view, HWND window, int command) {
    if (command != IDM_PAUSE_ANIMATION && command != IDM_PREVIOUS_FRAME && command != IDM_NEXT_FRAME) return false;
    if (!view->animation) return true;  // a still has nothing to play
    if (command == IDM_PAUSE_ANIMATION) view->player.TogglePause(NowMs());
    if (command == IDM_PREVIOUS_FRAME) view->player.Step(-1);
    if (command == IDM_NEXT_FRAME) view->player.Step(+1);
    // A step shows at once (or as soon as its frame is composed).
    OnAnimationTimer(view, window);
    return true;
}

void TurnAnimation(const View* view, Orientation turn) {
    const std::shared_ptr<Animation> old = view->animation;
    const std::shared_ptr<Animation> turned = old->Turned(turn);
    bool failed = !turned;
    for (HWND window : DocumentWindows(view->host->mdiClient)) {
        View* shower = ViewOf(window);
        if (failed) break;
        if (shower->animation != old) continue;
        // The frame shown turns at once; those after it are composed turned.
        std::shared_ptr<const Picture> frame(shower->picture->Turned(turn));
        if (!frame) {
            failed = true;
            break;
        }
        TurnView(shower->state, turn);
        shower->picture = std::move(frame);
        shower->animation = turned;
        shower->document.reset();
        UpdatePictureReadout(shower, window);
        SendMessageW(window, WM_SIZE, 0, 0);
        PictureChanged(shower, window);
    }
    if (failed) MessageBoxW(view->host->frame, Text(IDS_OUT_OF_MEMORY), Text(IDS_MESSAGE_CAPTION), MB_OK);
}
