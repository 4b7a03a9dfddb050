// What a document window holds: its view state, the picture it shows (shared
// with the other windows on the same file), the scale tables sized for that
// picture, and where it stands in the picture's folder.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/animation/frame_timing.h"
#include "document/animation.h"
#include "document/folder.h"
#include "document/load_error.h"
#include "document/picture.h"
#include "core/compare/difference.h"
#include "core/geometry/view_state.h"
#include "view/compare_state.h"

class Documents;

// What every document window follows, as the menus set it.
struct ViewSettings {
    bool linked = false;      // a zoom or scroll in one window is repeated in the others
    bool autoReload = false;  // a window whose file changes on disk reads it again
    CompareSettings compare;  // metric, exposure, tolerance and alignment of every comparison
};

// What the windows are compared against: one reference window for the
// program, or none.
struct CompareSession {
    HWND reference = nullptr;
};

// What a result that arrives for the window is for, which decides what a
// failure does: the window's first picture (the window closes), a step to
// another file (the window keeps its picture), a reload (a status text; an
// automatic one tries again a little later first, as the file may still be
// being written).
enum class LoadPurpose { FirstPicture, Step, Reload, AutoReload };

// What one scroll bar holds, or is to hold: a re-layout that changes nothing
// about it hands it nothing, and one that does hands its values once the
// picture is on the screen (pending), since each hand-over redraws the bar.
struct HeldBar {
    bool known = false;
    bool pending = false;  // values to hand over when the window's queue is idle
    int32_t max = 0;
    uint32_t page = 0;
    int32_t position = 0;
};

// What a document window needs of the program that holds it, handed over
// when the window is created. The program keeps it for as long as any
// document window lives.
struct ViewHost {
    HWND frame = nullptr;          // owns the windows' message boxes; opens what is dropped on them
    HWND mdiClient = nullptr;      // parent of every document window
    HWND statusBar = nullptr;      // where the readouts go
    HMENU frameMenu = nullptr;     // the menu bar while no document window is active
    HMENU documentMenu = nullptr;  // the menu bar while one is
    int windowMenuPosition = 0;    // the submenu where the MDI client lists the windows
    Documents* documents = nullptr;
    ViewSettings* settings = nullptr;  // the compare commands change their part
    CompareSession* compare = nullptr;
};

// Why status part 3 shows a reason instead of the picture readout: a reload
// that failed. Kept so that the reason can be told again in another language.
struct PictureNote {
    LoadError error = LoadError::None;
    uint32_t width = 0;  // of a picture too large
    uint32_t height = 0;
};

struct View {
    ViewState state{};
    HeldBar heldBars[2];  // SB_HORZ, SB_VERT
    std::shared_ptr<const Picture> picture;  // null until the first picture arrives
    std::unique_ptr<uint32_t[]> majorTable;  // state.mapCapacity.major entries
    std::unique_ptr<uint32_t[]> minorTable;  // state.mapCapacity.minor entries

    // The file the window is on: the one it shows, or the one it is loading.
    std::wstring path;
    std::shared_ptr<const FolderList> folder;  // the file's folder, once listed
    int direction = 1;                         // of the last step through the folder
    // The file the last step tried and could not open, while the window kept
    // its picture: the next step the same way goes on from there.
    std::wstring failedStep;

    uint64_t pendingTicket = 0;  // the decode the window waits for, or 0
    LoadPurpose pendingPurpose = LoadPurpose::FirstPicture;
    int reloadRetries = 0;  // automatic reloads of a file that did not decode yet
    PictureNote note;       // what status part 3 says, when not the readout

    ViewCompare compare;  // this window against the reference

    // An animation's playback: the picture the window was given (the first
    // frame, which other windows on the file share), the frames, and which is
    // on the screen and when the next is due. picture is the frame shown.
    std::shared_ptr<const Picture> document;
    std::shared_ptr<Animation> animation;
    FramePlayer player;

    const ViewHost* host = nullptr;
    // The window of the start without a file named: when its picture cannot
    // be shown, the program ends with its message, as it always has.
    bool startup = false;
};

// What a new document window starts with, handed through WM_MDICREATE:
// either the picture (shared at once) or the ticket of its decode.
struct ViewOpening {
    const ViewHost* host = nullptr;
    std::wstring path;
    std::shared_ptr<const Picture> picture;
    std::shared_ptr<const FolderList> folder;
    uint64_t ticket = 0;
    bool startup = false;
};

// The record of a document window, or null (another window, or one whose
// creation was refused).
View* ViewOf(HWND window);

// Shows picture in the window: with the same pixel size as the picture
// shown, zoom and position stay; otherwise the window starts over as for a
// new picture (100 %, centred). False when the tables for it cannot be
// allocated; the window then keeps what it showed.
bool ShowPicture(View* view, HWND window, const std::shared_ptr<const Picture>& picture,
                 const std::shared_ptr<const FolderList>& folder);

// The window waits for the decode of path under ticket; a decode it waited
// for before is given up.
void WaitForPicture(View* view, HWND window, const std::wstring& path, uint64_t ticket, LoadPurpose purpose);

// Gives up the decode the window waits for, if any.
void StopWaiting(View* view);

// Writes the picture readout (status part 3) when the window is the active
// one: the size and place in the folder, or that it is loading.
void UpdatePictureReadout(View* view, HWND window);

// Hands the scroll bars the values a re-layout left pending: a frame's time
// after the picture reached the screen (the paint sets HAND_BARS_TIMER), or
// before anything reads the bars.
void HandPendingBars(View* view, HWND window);
// A document window's timers, one id each.
constexpr UINT_PTR HAND_BARS_TIMER = 1;
// Automatic flicker's turns.
constexpr UINT_PTR FLICKER_TIMER = 2;
// Brings the next frame of an animation when it is due.
constexpr UINT_PTR ANIMATION_TIMER = 3;

// The window's title: its file's name, marked when it is the reference.
void UpdateTitle(const View* view, HWND window);

// Why a file could not become a picture, as the user reads it.
std::wstring ReasonText(LoadError error, uint32_t width, uint32_t height);

// Writes why the window's file could not be read again into status part 3
// when the window is the active one; the window keeps its picture.
void ShowPictureReason(View* view, HWND window, LoadError error, uint32_t width, uint32_t height);

// Writes the document windows' texts again in the language now in use: the
// titles (the reference's mark), the active window's readouts and the
// 比较信息 window.
void RewriteViewTexts(const ViewHost* host);

// The document windows in the MDI client, and the active one (or null).
std::vector<HWND> DocumentWindows(HWND mdiClient);
HWND ActiveDocumentWindow(HWND mdiClient);

// Carries out a view command (scroll and zoom keys, fit, rotation, the
// clipboard) in the window; false for commands that are not the view's.
bool RunViewCommand(View* view, HWND window, int command);

// With linked views, puts every other window at the leader's zoom with the
// leader's centre picture point at its own centre.
// With a reference, each window's picture point goes where the picture
// points compared with it lie (alignment and the window's own offset), so a
// linked scroll keeps compared pixels together.
void FollowLinkedLeader(const View* leader, HWND leaderWindow);
// The same whatever the setting: linking turned on aligns the windows.
void AlignViewsTo(const View* leader, HWND leaderWindow);
