#include "app/opening.h"

#include <cderr.h>
#include <commdlg.h>

#include "win32/fatal.h"
#include "app/globals.h"
#include "app/resource.h"
#include "app/recent_menu.h"
#include "app/texts.h"
#include "win32/texts.h"
#include "core/files/folder_order.h"
#include "core/files/paths.h"
#include "core/settings/recent_files.h"
#include "document/picture_formats.h"
#include "view/view.h"

namespace {

constexpr wchar_t START_PICTURE[] = L"ss6.jpg";
constexpr int VIEW_WIDTH = 400;
constexpr int VIEW_HEIGHT = 400;
// Room for the names the Open dialog returns: a folder and many files.
constexpr DWORD DIALOG_BUFFER_CHARS = 1u << 18;
constexpr UINT DROP_COUNT = 0xFFFFFFFFu;
// Automatic reload: how long the writing must have settled, how long to wait
// before trying a file that did not decode again, and how often.
constexpr UINT SETTLE_MS = 250;
constexpr UINT RETRY_MS = 1000;
constexpr int RELOAD_RETRIES = 3;

// The full path of path, resolved against the current folder; any length.
std::wstring FullPathOf(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed) return path;
    full.resize(written);
    return full;
}

// The start without a file named keeps the messages it always had.
const wchar_t* StartupText(LoadError error) {
    switch (error) {
        case LoadError::TooLarge: return Text(IDS_PICTURE_TOO_LARGE);
        case LoadError::OutOfMemory: return Text(IDS_DIB_FAILED);
        default: return Text(IDS_DECODE_FAILED);
    }
}

// Whether two full paths name the same file, the way the file system
// compares names: case-insensitive in every script.
bool SameFile(const std::wstring& a, const std::wstring& b) {
    const std::wstring left = WithoutExtendedPrefix(a);
    const std::wstring right = WithoutExtendedPrefix(b);
    return CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

// A recent file that can no longer be opened leaves the list; one that may
// open later (locked by another program, memory short) stays.
bool IsGone(LoadError error) {
    switch (error) {
        case LoadError::NotFound:
        case LoadError::IsFolder:
        case LoadError::Empty:
        case LoadError::NotAPicture:
        case LoadError::Damaged:
        case LoadError::TooLarge:
        case LoadError::TwelveBitJpeg: return true;
        case LoadError::Unreadable:
        case LoadError::OutOfMemory:
        case LoadError::Cancelled:
        case LoadError::None: break;
    }
    return false;
}

std::vector<std::wstring> CommandLineFiles() {
    std::vector<std::wstring> files;
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) return files;
    for (int i = 1; i < count; ++i) files.push_back(arguments[i]);
    LocalFree(arguments);
    return files;
}

// The names the Open dialog put in its buffer: one full path, or a folder
// followed by file names, each ended by a zero, the list by a second one.
std::vector<std::wstring> DialogSelection(const wchar_t* buffer) {
    std::vector<std::wstring> parts;
    for (const wchar_t* part = buffer; *part != L'\0'; part += wcslen(part) + 1) parts.push_back(part);
    if (parts.size() <= 1) return parts;
    std::vector<std::wstring> paths;
    for (size_t i = 1; i < parts.size(); ++i) paths.push_back(JoinPath(parts[0], parts[i]));
    return paths;
}


}  // namespace

std::wstring OpenDialogFilter() {
    const std::wstring patterns = ExtensionPatterns(KnownPictureExtensions());
    std::wstring filter = std::wstring(Text(IDS_OPEN_FILTER_PICTURES)) + L" (" + patterns + L")";
    filter += L'\0';
    filter += patterns;
    filter += L'\0';
    filter += Text(IDS_OPEN_FILTER_ALL_FILES);
    filter += L'\0';
    filter += OPEN_FILTER_ALL_PATTERN;
    filter += L'\0';
    return filter;  // the string's own terminator is the second zero
}

Opener::Opener(HWND notifyWindow, UINT notifyMessage, UINT foldersMessage, Program& program)
    : notifyWindow_(notifyWindow),
      program_(program),
      documents_(new Documents(notifyWindow, notifyMessage)),
      notifyFoldersMessage_(foldersMessage) {
    host_.documents = documents_.get();
    host_.settings = &settings_;
    host_.compare = &compare_;
    settings_.linked = program.kept.linkedViews;
    settings_.compare = program.kept.compare;
    // The codecs' extensions are asked for while the first picture decodes.
    StartListingPictureExtensions();
}

void Opener::Stop() {
    KillTimer(notifyWindow_, RELOAD_TIMER);
    watcher_.reset();
    documents_->Stop();
}

void Opener::OpenStartupFiles() {
    const std::vector<std::wstring> files = CommandLineFiles();
    if (files.empty()) {
        OpenInNewWindow(FullPathOf(START_PICTURE), true, false);
    } else {
        for (const std::wstring& file : files) OpenInNewWindow(FullPathOf(file), false, true);
    }
    KeepChanges();
    ShowFailures();
}

void Opener::OpenStartPictureAgain() {
    OpenInNewWindow(FullPathOf(START_PICTURE), false, false);
    KeepChanges();
    ShowFailures();
}

void Opener::QueueHandedFiles(std::vector<std::wstring> files) {
    handedFiles_.insert(handedFiles_.end(), files.begin(), files.end());
}

void Opener::OpenHandedFiles() {
    std::vector<std::wstring> files;
    files.swap(handedFiles_);
    for (const std::wstring& file : files) OpenInNewWindow(FullPathOf(file), false, true);
    KeepChanges();
    ShowFailures();
}

void Opener::OpenRecent(size_t index) {
    if (index >= program_.kept.recentFiles.size()) return;
    const std::wstring path = program_.kept.recentFiles[index];
    OpenInNewWindow(path, false, true);
    KeepChanges();
    ShowFailures();
}

void Opener::ClearRecent() {
    program_.kept.recentFiles.clear();
    keptChanged_ = true;
    KeepChanges();
}

void Opener::OpenWithDialog(HWND owner, HWND active) {
    std::wstring folder;
    if (const View* view = active != nullptr ? ViewOf(active) : nullptr) folder = WithoutExtendedPrefix(FolderOf(view->path));
    // Without a picture to start from, where the dialog was last used.
    if (folder.empty()) folder = program_.kept.openFolder;
    std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[DIALOG_BUFFER_CHARS]());
    if (!buffer) return;
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    const std::wstring filter = OpenDialogFilter();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.get();
    dialog.nMaxFile = DIALOG_BUFFER_CHARS;
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    // The current folder stays where it was: a new window still finds the
    // start picture there.
    dialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) {
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
            failures_.push_back(Text(IDS_TOO_MANY_FILES));
            ShowFailures();
        }
        return;
    }
    const std::vector<std::wstring> selection = DialogSelection(buffer.get());
    if (!selection.empty()) {
        const std::wstring chosenFolder = WithoutExtendedPrefix(FolderOf(FullPathOf(selection.front())));
        if (IsKeepablePath(chosenFolder)) {
            program_.kept.openFolder = chosenFolder;
            keptChanged_ = true;
        }
    }
    for (const std::wstring& path : selection) OpenInNewWindow(FullPathOf(path), false, true);
    KeepChanges();
    ShowFailures();
}

void Opener::OpenDropped(HDROP drop) {
    const UINT count = DragQueryFileW(drop, DROP_COUNT, nullptr, 0);
    std::vector<std::wstring> paths;
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
        paths.push_back(path);
    }
    DragFinish(drop);
    for (const std::wstring& path : paths) OpenInNewWindow(FullPathOf(path), false, true);
    KeepChanges();
    ShowFailures();
}

void Opener::OpenInNewWindow(const std::wstring& path, bool startup, bool named) {
    if (named && IsKeepablePath(WithoutExtendedPrefix(path))) {
        AddRecentFile(program_.kept.recentFiles, WithoutExtendedPrefix(path), SameFile);
        keptChanged_ = true;
    }
    ViewOpening opening;
    opening.host = &host_;
    opening.path = path;
    opening.startup = startup;
    FileIdentity identity;
    const LoadError error = ReadFileIdentity(path, identity);
    if (error != LoadError::None) {
        if (startup) ExitWithMessage(StartupText(error));
        ForgetIfGone(path, error);
        Fail(path, error, 0, 0);
        return;
    }
    opening.picture = documents_->FindShared(identity);
    if (opening.picture) {
        // Another window shows it: its folder is this one's too.
        for (HWND other : DocumentWindows(mdiClient)) {
            const View* view = ViewOf(other);
            if (view->picture == opening.picture && view->folder) opening.folder = view->folder;
        }
        if (!opening.folder) opening.folder = ListFolder(FolderOf(path));
        if (CreateDocumentWindow(opening) == nullptr) Fail(path, LoadError::OutOfMemory, 0, 0);
        return;
    }
    opening.ticket = documents_->Request(path, identity);
    if (CreateDocumentWindow(opening) == nullptr) {
        documents_->Release(opening.ticket);
        if (startup) ExitWithMessage(Text(IDS_DIB_FAILED));
        Fail(path, LoadError::OutOfMemory, 0, 0);
    }
}

HWND Opener::CreateDocumentWindow(const ViewOpening& opening) {
    const std::wstring title = FileNameOf(opening.path);
    MDICREATESTRUCTW create = {};
    create.szClass = VIEW_CLASS_NAME_W;
    create.szTitle = title.c_str();
    create.hOwner = hInstance;
    create.x = CW_USEDEFAULT;
    create.y = CW_USEDEFAULT;
    create.cx = VIEW_WIDTH;
    create.cy = VIEW_HEIGHT;
    create.lParam = reinterpret_cast<LPARAM>(&opening);
    return reinterpret_cast<HWND>(SendMessageW(mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
}

void Opener::Step(HWND window, int direction) {
    View* view = window != nullptr ? ViewOf(window) : nullptr;
    if (view == nullptr || view->path.empty()) return;
    if (!view->folder || !SamePath(view->folder->folder, FolderOf(view->path))) {
        view->folder = ListFolder(FolderOf(view->path));
    }
    // Past a file that just failed, so one broken file does not stop the way.
    const bool pastFailed = !view->failedStep.empty() && direction == view->direction;
    const std::wstring from = pastFailed ? view->failedStep : view->path;
    view->failedStep.clear();
    const std::wstring next = NeighbourInFolder(*view->folder, FileNameOf(from), direction);
    if (next.empty() || SamePath(next, view->path)) return;
    // Turning back makes the picture preloaded ahead useless.
    if (direction != view->direction) documents_->DropPreload();
    view->direction = direction;
    OpenInWindow(view, window, next, LoadPurpose::Step);
    ShowFailures();
}

void Opener::OpenInWindow(View* view, HWND window, const std::wstring& fullPath, LoadPurpose purpose) {
    FileIdentity identity;
    const LoadError error = ReadFileIdentity(fullPath, identity);
    if (error != LoadError::None) {
        if (purpose == LoadPurpose::Step) view->failedStep = fullPath;
        Fail(fullPath, error, 0, 0);
        return;
    }
    if (std::shared_ptr<const Picture> shared = documents_->FindShared(identity)) {
        StopWaiting(view);
        if (!ShowPicture(view, window, shared, nullptr)) {
            if (purpose == LoadPurpose::Step) view->failedStep = fullPath;
            Fail(fullPath, LoadError::OutOfMemory, 0, 0);
            return;
        }
        AfterShown(view, window, purpose);
        return;
    }
    WaitForPicture(view, window, fullPath, documents_->Request(fullPath, identity), purpose);
}

void Opener::DeliverFinished() {
    for (const FinishedLoad& load : documents_->TakeFinished()) {
        for (HWND window : DocumentWindows(mdiClient)) {
            View* view = ViewOf(window);
            if (view != nullptr && view->pendingTicket == load.ticket) Deliver(view, window, load);
        }
    }
    KeepChanges();
    ShowFailures();
}

void Opener::Deliver(View* view, HWND window, const FinishedLoad& load) {
    // The job is over: nothing is left to give up.
    view->pendingTicket = 0;
    LoadError error = load.outcome.error;
    if (load.outcome.picture) {
        if (ShowPicture(view, window, load.outcome.picture, load.folder)) {
            AfterShown(view, window, view->pendingPurpose);
            return;
        }
        error = LoadError::OutOfMemory;
    }
    if (load.folder) view->folder = load.folder;
    switch (view->pendingPurpose) {
        case LoadPurpose::FirstPicture:
            if (view->startup) ExitWithMessage(StartupText(error));
            ForgetIfGone(load.path, error);
            Fail(load.path, error, load.outcome.width, load.outcome.height);
            SendMessageW(mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
            return;
        case LoadPurpose::Step:
            view->failedStep = load.path;
            Fail(load.path, error, load.outcome.width, load.outcome.height);
            break;
        case LoadPurpose::AutoReload:
            if (error != LoadError::NotFound && view->reloadRetries < RELOAD_RETRIES) {
                // Perhaps still being written: look again a little later.
                ++view->reloadRetries;
                ReloadLater(FolderOf(load.path), RETRY_MS);
                if (view->picture) view->path = view->picture->Identity().path;
                UpdatePictureReadout(view, window);
                return;
            }
            [[fallthrough]];
        case LoadPurpose::Reload:
            // The window stays as it was; the reason goes where the user looks.
            if (view->picture) view->path = view->picture->Identity().path;
            ShowPictureReason(view, window, error, load.outcome.width, load.outcome.height);
            return;
    }
    // The window stays on the picture it shows.
    if (view->picture) view->path = view->picture->Identity().path;
    UpdatePictureReadout(view, window);
}

void Opener::Reload(HWND window) {
    View* view = window != nullptr ? ViewOf(window) : nullptr;
    if (view == nullptr || !view->picture) return;
    const std::wstring path = view->picture->Identity().path;
    FileIdentity identity;
    const LoadError error = ReadFileIdentity(path, identity);
    if (error != LoadError::None) {
        ShowPictureReason(view, window, error, 0, 0);
        return;
    }
    // Decoded afresh even when it looks unchanged: the user asked to read it.
    WaitForPicture(view, window, path, documents_->Request(path, identity), LoadPurpose::Reload);
}

void Opener::SetAutoReload(bool on) {
    settings_.autoReload = on;
    if (!on) {
        watcher_.reset();
        changedFolders_.clear();
        KillTimer(notifyWindow_, RELOAD_TIMER);
        return;
    }
    if (!watcher_) watcher_.reset(new FolderWatcher(notifyWindow_, notifyFoldersMessage_));
    WatchFolders();
}

void Opener::WatchFolders() {
    if (!watcher_) return;
    std::set<std::wstring> folders;
    for (HWND window : DocumentWindows(mdiClient)) {
        if (const View* view = ViewOf(window); view->picture) folders.insert(FolderOf(view->picture->Identity().path));
    }
    watcher_->Watch(folders);
}

void Opener::FoldersChanged() {
    if (!watcher_) return;
    // Every further change restarts the wait: a burst of writes is one reload.
    for (const std::wstring& folder : watcher_->TakeChanged()) ReloadLater(folder, SETTLE_MS);
}

void Opener::ReloadLater(const std::wstring& folder, UINT delayMs) {
    changedFolders_.insert(folder);
    SetTimer(notifyWindow_, RELOAD_TIMER, delayMs, nullptr);
}

void Opener::ReloadChangedFiles() {
    KillTimer(notifyWindow_, RELOAD_TIMER);
    std::set<std::wstring> folders;
    folders.swap(changedFolders_);
    if (!settings_.autoReload) return;
    for (HWND window : DocumentWindows(mdiClient)) {
        View* view = ViewOf(window);
        if (!view->picture || view->pendingTicket != 0) continue;
        const FileIdentity& shown = view->picture->Identity();
        bool watched = false;
        for (const std::wstring& folder : folders) watched = watched || SamePath(folder, FolderOf(shown.path));
        if (!watched) continue;
        FileIdentity now;
        const LoadError error = ReadFileIdentity(shown.path, now);
        if (error != LoadError::None) {
            // Gone (or unreadable for now): the window keeps what it shows.
            ShowPictureReason(view, window, error, 0, 0);
            continue;
        }
        if (now.size == shown.size && now.lastWrite == shown.lastWrite && view->reloadRetries == 0) continue;
        WaitForPicture(view, window, shown.path, documents_->Request(shown.path, now), LoadPurpose::AutoReload);
    }
}

void Opener::AfterShown(View* view, HWND window, LoadPurpose purpose) {
    view->reloadRetries = 0;
    WatchFolders();
    // A step is a key command: linked windows follow it.
    if (purpose == LoadPurpose::Step) FollowLinkedLeader(view, window);
    // The next picture in the direction of travel decodes in the background
    // while this one is looked at.
    if (view->folder && ActiveDocumentWindow(mdiClient) == window) {
        const std::wstring next = NeighbourInFolder(*view->folder, FileNameOf(view->path), view->direction);
        if (!next.empty() && !SamePath(next, view->path)) documents_->Preload(next);
    }
}

void Opener::Fail(const std::wstring& path, LoadError error, uint32_t width, uint32_t height) {
    if (error == LoadError::Cancelled) return;
    failures_.push_back(FormatText(IDS_CANNOT_OPEN, {WithoutExtendedPrefix(path), ReasonText(error, width, height)}));
}

void Opener::ForgetIfGone(const std::wstring& path, LoadError error) {
    if (!IsGone(error)) return;
    const size_t before = program_.kept.recentFiles.size();
    RemoveRecentFile(program_.kept.recentFiles, WithoutExtendedPrefix(path), SameFile);
    keptChanged_ = keptChanged_ || program_.kept.recentFiles.size() != before;
}

void Opener::KeepChanges() {
    if (!keptChanged_) return;
    keptChanged_ = false;
    program_.Save();
    ShowRecentFiles(program_.kept.recentFiles);
}

void Opener::ShowFailures() {
    // One box at a time: results that arrive while a box is open only queue
    // their messages, which follow once it is answered.
    if (showingFailure_) return;
    showingFailure_ = true;
    while (!failures_.empty()) {
        const std::wstring text = failures_.front();
        failures_.pop_front();
        MessageBoxW(notifyWindow_, text.c_str(), Text(IDS_MESSAGE_CAPTION), MB_OK);
    }
    showingFailure_ = false;
}
