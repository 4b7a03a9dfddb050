// Small owners for the GDI objects the view releases. Teardown order for a
// memory DC: select the old object back, DeleteDC, then DeleteObject; owners
// declared in the order bitmap, DC, selection are destroyed in exactly that
// order.
#pragma once

#include <windows.h>

// A GDI object (here: a bitmap) deleted with DeleteObject.
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(HGDIOBJ object) : object_(object) {}
    ~GdiObject() {
        if (object_ != nullptr) DeleteObject(object_);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    void Reset(HGDIOBJ object) {
        if (object_ != nullptr) DeleteObject(object_);
        object_ = object;
    }
    HGDIOBJ Get() const { return object_; }

private:
    HGDIOBJ object_ = nullptr;
};

// A memory DC from CreateCompatibleDC, deleted with DeleteDC.
class MemoryDc {
public:
    MemoryDc() = default;
    ~MemoryDc() {
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    void CreateCompatible(HDC reference) { dc_ = CreateCompatibleDC(reference); }
    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    HDC dc_ = nullptr;
};

// An object selected into a DC; the DC gets its previous object back.
class DcSelection {
public:
    DcSelection() = default;
    DcSelection(HDC dc, HGDIOBJ object) { Select(dc, object); }
    ~DcSelection() { Restore(); }
    DcSelection(const DcSelection&) = delete;
    DcSelection& operator=(const DcSelection&) = delete;

    void Select(HDC dc, HGDIOBJ object) {
        Restore();
        dc_ = dc;
        previous_ = SelectObject(dc, object);
    }
    void Restore() {
        if (dc_ != nullptr && previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
        dc_ = nullptr;
        previous_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// The DC of a window's client area, released with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// One BeginPaint / EndPaint pair.
class PaintSession {
public:
    explicit PaintSession(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintSession() { EndPaint(window_, &paint_); }
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;

    HDC Dc() const { return dc_; }
    const RECT& UpdateRect() const { return paint_.rcPaint; }

private:
    HWND window_;
    HDC dc_;
    PAINTSTRUCT paint_;
};
