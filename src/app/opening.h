// Every way a picture gets into a window: the start, the command line, the
// Open dialog, files dropped on the program, a new window, and steps through
// the folder; and the results of the decodes they started. Failures are
// told here, where the user acted: a message naming the file and the reason.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <deque>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "document/documents.h"
#include "document/folder_watcher.h"
#include "view/view.h"

// The Open dialog's filter in the language in use: pairs of a caption and
// its patterns, each ended by a zero, the list by a second one. Its pictures
// are every extension some decoder claims (document/picture_formats.h), the
// one list of the types kiv opens.
std::wstring OpenDialogFilter();

class Opener {
public:
    // Results of decodes reach notifyWindow as notifyMessage, folder changes
    // as foldersMessage. The program's kept settings give the windows'
    // settings; the files the user opens go into its recent files.
    Opener(HWND notifyWindow, UINT notifyMessage, UINT foldersMessage, Program& program);

    ViewSettings& Settings() { return settings_; }
    // What the program keeps beyond this run.
    Program& Kept() { return program_; }
    // What the document windows get of the program; the frame fills in its
    // windows and menus once it has made them.
    ViewHost& Host() { return host_; }
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
    // Files a later start handed over: kept until OpenHandedFiles, so that
    // the sender is answered at once.
    void QueueHandedFiles(std::vector<std::wstring> files);
    void OpenHandedFiles();
    // An entry of 文件 → 最近打开的文件 (0 the newest), and 清除列表.
    void OpenRecent(size_t index);
    void ClearRecent();
    // Puts the next (+1) or previous (-1) picture of its folder into the window.
    void Step(HWND window, int direction);
    // Hands finished decodes to the windows that wait for them.
    void DeliverFinished();

    // Reads the window's file again (F5): only that window changes.
    void Reload(HWND window);
    // Automatic reload: windows whose file changes on disk read it again.
    void SetAutoReload(bool on);
    // A watched folder changed: the check follows once the writing settles.
    void FoldersChanged();
    // The settling time is over (the timer of that name).
    void ReloadChangedFiles();

    static constexpr UINT_PTR RELOAD_TIMER = 1;

private:
    // named: the user named the file (not the start picture), so it goes
    // into the recent files.
    void OpenInNewWindow(const std::wstring& path, bool startup, bool named);
    HWND CreateDocumentWindow(const ViewOpening& opening);
    void OpenInWindow(View* view, HWND window, const std::wstring& fullPath, LoadPurpose purpose);
    void Deliver(View* view, HWND window, const FinishedLoad& load);
    void AfterShown(View* view, HWND window, LoadPurpose purpose);
    void Fail(const std::wstring& path, LoadError error, uint32_t width, uint32_t height);
    void WatchFolders();
    void ReloadLater(const std::wstring& folder, UINT delayMs);
    void ShowFailures();
    void ForgetIfGone(const std::wstring& path, LoadError error);
    // Writes the settings and the menus once a batch of opens changed them.
    void KeepChanges();

    HWND notifyWindow_;
    Program& program_;
    bool keptChanged_ = false;
    std::vector<std::wstring> handedFiles_;
    std::unique_ptr<Documents> documents_;
    ViewSettings settings_;
    CompareSession compare_;
    ViewHost host_;
    std::unique_ptr<FolderWatcher> watcher_;  // while automatic reload is on
    std::set<std::wstring> changedFolders_;    // waiting for the writing to settle
    UINT notifyFoldersMessage_;
    std::deque<std::wstring> failures_;  // messages waiting for their turn
    bool showingFailure_ = false;
};
