// What kiv.exe tells Windows about itself, read back from its resources: the
// manifest, the version and the icon; and the icon on the screen.
#include <cstring>

#include "harness.h"
#include "kiv.h"
#include "screen.h"

namespace e2e {
namespace {

// Resource types and names as numbers (the SDK's macros are already pointers).
constexpr WORD MANIFEST_TYPE = 24;   // RT_MANIFEST
constexpr WORD MANIFEST_ID = 1;      // CREATEPROCESS_MANIFEST_RESOURCE_ID
constexpr WORD ICON_GROUP_TYPE = 14; // RT_GROUP_ICON
constexpr WORD ICON_ID = 1;          // IDI_KIV in the program's resource.h
constexpr uint32_t ICON_SUN = 0xffc83d;  // the sun of tools/icon/make_icon.cpp, opaque at every size
constexpr wchar_t VERSION_BLOCK[] = L"\\StringFileInfo\\080404b0\\";

struct Module {
    explicit Module(const std::string& path)
        : handle(LoadLibraryExW(Widen(path).c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~Module() {
        if (handle) FreeLibrary(handle);
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    HMODULE handle;
};

std::string ResourceBytes(HMODULE module, WORD type, WORD id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
    if (!found) return "";
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return bytes ? std::string(bytes, SizeofResource(module, found)) : "";
}

// The text of the first element of that name ("" when there is none).
std::string ElementText(const std::string& xml, const std::string& name) {
    for (size_t at = xml.find("<" + name); at != std::string::npos; at = xml.find("<" + name, at + 1)) {
        const char next = xml[at + 1 + name.size()];
        if (next != ' ' && next != '>') continue;
        const size_t start = xml.find('>', at) + 1;
        return xml.substr(start, xml.find('<', start) - start);
    }
    return "";
}

std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* name) {
    void* text = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(VERSION_BLOCK) + name;
    if (!VerQueryValueW(info.data(), path.c_str(), &text, &length) || length == 0) return L"";
    return static_cast<const wchar_t*>(text);
}

}  // namespace

E2E_CASE(identity, manifest_declares_dpi_awareness_common_controls_6_systems_and_long_paths) {
    Module kiv(Settings().kivPath);
    REQUIRE(kiv.handle, "cannot open %s as a data file", Settings().kivPath.c_str());
    const std::string manifest = ResourceBytes(kiv.handle, MANIFEST_TYPE, MANIFEST_ID);
    REQUIRE(!manifest.empty(), "kiv.exe has no RT_MANIFEST resource %d", MANIFEST_ID);

    const std::string awareness = ElementText(manifest, "dpiAwareness");
    CHECK(awareness.substr(0, awareness.find(',')) == "PerMonitorV2", "dpiAwareness is \"%s\"", awareness.c_str());
    CHECK(ElementText(manifest, "dpiAware") == "true/pm", "dpiAware is \"%s\"",
          ElementText(manifest, "dpiAware").c_str());
    CHECK(ElementText(manifest, "longPathAware") == "true", "longPathAware is \"%s\"",
          ElementText(manifest, "longPathAware").c_str());
    const size_t controls = manifest.find("name=\"Microsoft.Windows.Common-Controls\"");
    CHECK(controls != std::string::npos && manifest.find("version=\"6.0.0.0\"", controls) != std::string::npos,
          "no dependency on Common Controls 6.0.0.0");
    // Windows 7, 8, 8.1, 10 and 11.
    for (const char* os : {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
        CHECK(manifest.find(std::string("<supportedOS Id=\"") + os + "\"") != std::string::npos,
              "supportedOS %s is missing", os);
    }
}

E2E_CASE(identity, version_resource_names_kiv_and_the_project_version) {
    const std::wstring path = Widen(Settings().kivPath);
    std::vector<BYTE> info(GetFileVersionInfoSizeW(path.c_str(), nullptr));
    REQUIRE(!info.empty() && GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()),
            "kiv.exe has no version resource");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    REQUIRE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed,
            "no fixed version information");
    CHECK(fixed->dwFileVersionMS == MAKELONG(KIV_VERSION_MINOR, KIV_VERSION_MAJOR) &&
              fixed->dwFileVersionLS == MAKELONG(0, KIV_VERSION_PATCH) &&
              fixed->dwProductVersionMS == fixed->dwFileVersionMS,
          "file version %lx.%lx, product version %lx, not %s", fixed->dwFileVersionMS, fixed->dwFileVersionLS,
          fixed->dwProductVersionMS, KIV_VERSION);
    CHECK(VersionString(info, L"ProductName") == L"kiv", "product name \"%s\"",
          Narrow(VersionString(info, L"ProductName")).c_str());
    CHECK(VersionString(info, L"FileDescription") == L"kiv 多文档图片查看器", "description \"%s\"",
          Narrow(VersionString(info, L"FileDescription")).c_str());
    for (const wchar_t* name : {L"FileVersion", L"ProductVersion"}) {
        CHECK(VersionString(info, name) == Widen(KIV_VERSION), "%s \"%s\", not %s", Narrow(name).c_str(),
              Narrow(VersionString(info, name)).c_str(), KIV_VERSION);
    }
}

E2E_CASE(identity, icon_in_the_exe_and_on_the_windows) {
    {
        Module module(Settings().kivPath);
        CHECK(!ResourceBytes(module.handle, ICON_GROUP_TYPE, ICON_ID).empty(),
              "kiv.exe has no icon group %d", ICON_ID);
    }
    Kiv kiv("identity_icon");
    kiv.WritePicture(PatternPicture(101, 75));
    HWND child = kiv.Start();
    // The document window's caption shows the small icon at its left end.
    RECT outer;
    GetWindowRect(child, &outer);
    POINT client = {0, 0};
    ClientToScreen(child, &client);
    const int captionHeight = client.y - outer.top;
    bool shown = WaitUntil([&] {
        const Capture caption = CaptureScreen(outer.left, outer.top, 2 * captionHeight, captionHeight);
        for (uint32_t pixel : caption.pixels) {
            if (pixel == ICON_SUN) return true;
        }
        return false;
    }, WAIT_TIMEOUT_MS);
    CHECK(shown, "the document window's caption does not show kiv's icon");
    // The frame is registered from the same class record, but it shows no
    // caption of its own under Xvfb (no window manager), and Wine reads no
    // class icons across processes.
}

}  // namespace e2e
