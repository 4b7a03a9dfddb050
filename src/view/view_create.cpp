// Creation of a document window, with the picture it was opened on or the
// decode it waits for, and the release of its record when it goes.

#include <windows.h>

#include <shellapi.h>

#include <new>

#include "document/documents.h"
#include "view/compare.h"
#include "view/view_handlers.h"

namespace {

constexpr LRESULT CREATE_REFUSED = -1;
constexpr LRESULT CREATE_DONE = 0;

}  // namespace

LRESULT OnCreate(HWND window, const CREATESTRUCTW* create) {
    // For a document window the creation parameters are the MDI client's
    // MDICREATESTRUCT, whose own parameter is what the opener handed over.
    const auto* mdiCreate = static_cast<const MDICREATESTRUCTW*>(create->lpCreateParams);
    const auto* opening = reinterpret_cast<const ViewOpening*>(mdiCreate->lParam);
    if (opening == nullptr) return CREATE_REFUSED;
    View* view = new (std::nothrow) View();
    if (view == nullptr) return CREATE_REFUSED;
    view->host = opening->host;
    view->startup = opening->startup;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    GetClientRect(window, reinterpret_cast<RECT*>(&view->state.clientRect));
    DragAcceptFiles(window, TRUE);

    if (opening->picture) {
        if (!ShowPicture(view, window, opening->picture, opening->folder)) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            delete view;
            return CREATE_REFUSED;
        }
    } else {
        view->folder = opening->folder;
        WaitForPicture(view, window, opening->path, opening->ticket, LoadPurpose::FirstPicture);
    }
    return CREATE_DONE;
}

void OnNcDestroy(View* view, HWND window) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    // The other windows no longer count this one: a reference going away
    // leaves them without one.
    ForgetReference(view, window);
    StopWaiting(view);
    delete view;
}
