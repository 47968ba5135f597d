#include "config/WindowSettings.h"

#include <cstdint>
#include <cstdlib>

#include "config/LibraryConfig.h"

namespace {

constexpr const char* kLeft = "WindowLeft";
constexpr const char* kTop = "WindowTop";
constexpr const char* kWidth = "WindowWidth";
constexpr const char* kHeight = "WindowHeight";
constexpr const char* kMaximized = "WindowMaximized";
constexpr const char* kTreeSplit = "TreeSplit";
constexpr const char* kTextSplit = "TextSplit";
constexpr const char* kZoom = "EditorZoom";
constexpr const char* kWhitespace = "ShowWhiteSpace";
constexpr const char* kFindInText = "FindInText";

// Sizes and places beyond any screen are not kept.
constexpr int kLargest = 100000;

bool ReadInt(IKeyStore& store, KeyHandle key, const char* name, int low, int high, int& out) {
    std::uint32_t value = 0;
    if (store.QueryDword(key, name, value) != keyerr::kSuccess)
        return false;
    const int v = static_cast<int>(static_cast<std::int32_t>(value));
    if (v < low || v > high)
        return false;
    out = v;
    return true;
}

void WriteInt(IKeyStore& store, KeyHandle key, const char* name, int value) {
    store.SetDword(key, name, static_cast<std::uint32_t>(static_cast<std::int32_t>(value)));
}

// "a,b" with two sizes of at least 1.
std::vector<int> ReadSplit(IKeyStore& store, KeyHandle key, const char* name) {
    std::string text;
    if (store.QueryString(key, name, text) != keyerr::kSuccess)
        return {};
    std::vector<int> sizes;
    const char* p = text.c_str();
    while (*p) {
        char* end = nullptr;
        const long v = std::strtol(p, &end, 10);
        if (end == p || v < 1 || v > kLargest)
            return {};
        sizes.push_back(static_cast<int>(v));
        p = end;
        if (*p == ',')
            ++p;
        else if (*p)
            return {};
    }
    return sizes.size() == 2 ? sizes : std::vector<int>();
}

void WriteSplit(IKeyStore& store, KeyHandle key, const char* name, const std::vector<int>& sizes) {
    if (sizes.size() != 2)
        return;
    store.SetString(key, name, std::to_string(sizes[0]) + "," + std::to_string(sizes[1]));
}

} // namespace

KeyHandle OpenSettingsKey(IKeyStore& store, bool create, long& rc) {
    KeyHandle key = kCurrentUserKey;
    for (const char* part :
         {"Software", CLibraryConfig::kCompanyKey, CLibraryConfig::kAppKey, CLibraryConfig::kSettings}) {
        KeyHandle next = kNoKey;
        bool created = false;
        rc = create ? store.CreateKey(key, part, kKeyAllAccess, next, created) : store.OpenKey(key, part, kKeyRead, next);
        if (key != kCurrentUserKey)
            store.CloseKey(key);
        if (rc != keyerr::kSuccess)
            return kNoKey;
        key = next;
    }
    return key;
}

WindowSettings ReadWindowSettings(IKeyStore& store) {
    WindowSettings s;
    long rc = keyerr::kSuccess;
    const KeyHandle key = OpenSettingsKey(store, false, rc);
    if (key == kNoKey)
        return s;
    s.hasGeometry = ReadInt(store, key, kLeft, -kLargest, kLargest, s.left) &&
                    ReadInt(store, key, kTop, -kLargest, kLargest, s.top) &&
                    ReadInt(store, key, kWidth, 1, kLargest, s.width) &&
                    ReadInt(store, key, kHeight, 1, kLargest, s.height);
    int flag = 0;
    s.maximized = ReadInt(store, key, kMaximized, 0, 1, flag) && flag;
    s.treeSplit = ReadSplit(store, key, kTreeSplit);
    s.textSplit = ReadSplit(store, key, kTextSplit);
    ReadInt(store, key, kZoom, -10, 20, s.zoom);
    flag = 0;
    s.whitespace = ReadInt(store, key, kWhitespace, 0, 1, flag) && flag;
    flag = 0;
    s.findInText = ReadInt(store, key, kFindInText, 0, 1, flag) && flag;
    store.CloseKey(key);
    return s;
}

void WriteWindowSettings(IKeyStore& store, const WindowSettings& s) {
    long rc = keyerr::kSuccess;
    const KeyHandle key = OpenSettingsKey(store, true, rc);
    if (key == kNoKey)
        return;
    if (s.hasGeometry) {
        WriteInt(store, key, kLeft, s.left);
        WriteInt(store, key, kTop, s.top);
        WriteInt(store, key, kWidth, s.width);
        WriteInt(store, key, kHeight, s.height);
    }
    WriteInt(store, key, kMaximized, s.maximized ? 1 : 0);
    WriteSplit(store, key, kTreeSplit, s.treeSplit);
    WriteSplit(store, key, kTextSplit, s.textSplit);
    WriteInt(store, key, kZoom, s.zoom);
    WriteInt(store, key, kWhitespace, s.whitespace ? 1 : 0);
    WriteInt(store, key, kFindInText, s.findInText ? 1 : 0);
    store.CloseKey(key);
    CLibraryConfig(store).Flush();
}
