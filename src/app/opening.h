// Every way a picture gets into a window: the start, the command line, the
// Open dialog, files dropped on the program, a new window, and steps through
// the folder; and the results of the decodes they started. Failures are
// told here, where the user acted: a message naming the file and the reason.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "document/documents.h"
#include "view/view.h"

class Opener {
public:
    // Results of decodes reach notifyWindow as notifyMessage.
    Opener(HWND notifyWindow, UINT notifyMessage);

    Documents& TheDocuments() { return *documents_; }
    // No more decodes; those under way are finished and dropped.
    void Stop();

    // The start: one window per file named on the command line, the last one
    // active; without any, the start picture in the current folder, whose
    // failure ends the program as it always has.
    void OpenStartupFiles();
    // Another window on the start picture of the current folder.
    void OpenStartPictureAgain();
    void OpenWithDialog(HWND owner, HWND active);
    void OpenDropped(HDROP drop);
    // Puts the next (+1) or previous (-1) picture of its folder into the window.
    void Step(HWND window, int direction);
    // Hands finished decodes to the windows that wait for them.
    void DeliverFinished();

private:
    void OpenInNewWindow(const std::wstring& path, bool startup);
    HWND CreateDocumentWindow(const ViewOpening& opening);
    void OpenInWindow(View* view, HWND window, const std::wstring& fullPath, LoadPurpose purpose);
    void Deliver(View* view, HWND window, const FinishedLoad& load);
    void AfterShown(View* view, HWND window);
    void Fail(const std::wstring& path, LoadError error, uint32_t width, uint32_t height);
    void ShowFailures();

    HWND notifyWindow_;
    std::unique_ptr<Documents> documents_;
    std::deque<std::wstring> failures_;  // messages waiting for their turn
    bool showingFailure_ = false;
};
