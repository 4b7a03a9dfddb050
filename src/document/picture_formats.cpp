#include "document/picture_formats.h"

#include <windows.h>

#include <wincodec.h>

#include <string>

#include "win32/com.h"

namespace {

INIT_ONCE started = INIT_ONCE_STATIC_INIT;
HANDLE lister = nullptr;  // the thread that asks the codecs; kept, so any later wait ends at once
PictureExtensions known;  // written by that thread alone, read only after it ended

// Adds the extensions every WIC decoder installed here names.
void AddCodecExtensions(PictureExtensions& extensions) {
    ComApartment apartment;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.OutVoid()))) {
        return;
    }
    ComPtr<IEnumUnknown> codecs;
    if (FAILED(factory->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault, codecs.Out()))) return;
    for (;;) {
        ComPtr<IUnknown> codec;
        ULONG fetched = 0;
        if (codecs->Next(1, codec.Out(), &fetched) != S_OK || fetched != 1) break;
        ComPtr<IWICBitmapCodecInfo> info;
        UINT length = 0;
        if (FAILED(codec->QueryInterface(IID_IWICBitmapCodecInfo, info.OutVoid())) ||
            FAILED(info->GetFileExtensions(0, nullptr, &length)) || length == 0) {
            continue;
        }
        std::wstring list(length, L'\0');
        if (FAILED(info->GetFileExtensions(length, list.data(), &length))) continue;
        list.resize(wcsnlen(list.c_str(), list.size()));
        AddPictureExtensions(list, extensions);
    }
}

DWORD WINAPI ListExtensions(void*) {
    PictureExtensions extensions = BuiltInPictureExtensions();
    AddCodecExtensions(extensions);
    known = std::move(extensions);
    return 0;
}

BOOL CALLBACK StartLister(INIT_ONCE*, void*, void**) {
    lister = CreateThread(nullptr, 0, ListExtensions, nullptr, 0, nullptr);
    // Without a thread of its own the list is made here and now.
    if (lister == nullptr) ListExtensions(nullptr);
    return TRUE;
}

}  // namespace

void StartListingPictureExtensions() { InitOnceExecuteOnce(&started, StartLister, nullptr, nullptr); }

const PictureExtensions& KnownPictureExtensions() {
    StartListingPictureExtensions();
    if (lister != nullptr) WaitForSingleObject(lister, INFINITE);
    return known;
}
