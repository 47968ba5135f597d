#ifdef _WIN32

#include "config/RegistryKeyStore.h"

#include <windows.h>

#include <vector>

namespace {

// kCurrentUserKey stands for HKEY_CURRENT_USER; every other handle is an HKEY.
HKEY ToHkey(KeyHandle key) {
    return key == kCurrentUserKey ? HKEY_CURRENT_USER : reinterpret_cast<HKEY>(key);
}

KeyHandle FromHkey(HKEY key) {
    return reinterpret_cast<KeyHandle>(key);
}

} // namespace

long RegistryKeyStore::OpenKey(KeyHandle parent, const std::string& name, std::uint32_t access,
                               KeyHandle& out) {
    HKEY key = nullptr;
    long rc = RegOpenKeyExA(ToHkey(parent), name.c_str(), 0, access, &key);
    out = rc == ERROR_SUCCESS ? FromHkey(key) : kNoKey;
    return rc;
}

long RegistryKeyStore::CreateKey(KeyHandle parent, const std::string& name, std::uint32_t access,
                                 KeyHandle& out, bool& created) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    long rc = RegCreateKeyExA(ToHkey(parent), name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                              nullptr, &key, &disposition);
    out = rc == ERROR_SUCCESS ? FromHkey(key) : kNoKey;
    created = rc == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
    return rc;
}

long RegistryKeyStore::DeleteKey(KeyHandle parent, const std::string& name) {
    return RegDeleteKeyA(ToHkey(parent), name.c_str());
}

long RegistryKeyStore::EnumKey(KeyHandle key, std::uint32_t index, std::string& name) {
    char buffer[kMaxKeyNameLength + 1] = {};
    DWORD length = sizeof buffer;
    long rc = RegEnumKeyExA(ToHkey(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    name = rc == ERROR_SUCCESS ? std::string(buffer, length) : std::string();
    return rc;
}

long RegistryKeyStore::QueryInfoKey(KeyHandle key, std::uint32_t& subKeyCount) {
    DWORD count = 0;
    long rc = RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr);
    subKeyCount = rc == ERROR_SUCCESS ? count : 0;
    return rc;
}

long RegistryKeyStore::QueryValueSize(KeyHandle key, const std::string& name, std::uint32_t& size) {
    DWORD bytes = 0;
    long rc = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, nullptr, nullptr, &bytes);
    size = rc == ERROR_SUCCESS ? bytes : 0;
    return rc;
}

long RegistryKeyStore::QueryString(KeyHandle key, const std::string& name, std::string& value) {
    value.clear();
    DWORD bytes = 0;
    DWORD type = 0;
    long rc = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &type, nullptr, &bytes);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_DATA;
    std::vector<char> data(bytes + 1, '\0');
    rc = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                          &bytes);
    if (rc != ERROR_SUCCESS)
        return rc;
    value.assign(data.data()); // up to the terminating zero, stored or not
    return ERROR_SUCCESS;
}

long RegistryKeyStore::SetString(KeyHandle key, const std::string& name, const std::string& value) {
    return RegSetValueExA(ToHkey(key), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

long RegistryKeyStore::QueryDword(KeyHandle key, const std::string& name, std::uint32_t& value) {
    DWORD type = 0;
    DWORD data = 0;
    DWORD bytes = sizeof data;
    long rc =
        RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &bytes);
    if (rc == ERROR_SUCCESS && (type != REG_DWORD || bytes != sizeof data))
        rc = ERROR_INVALID_DATA;
    value = rc == ERROR_SUCCESS ? data : 0;
    return rc;
}

long RegistryKeyStore::SetDword(KeyHandle key, const std::string& name, std::uint32_t value) {
    DWORD data = value;
    return RegSetValueExA(ToHkey(key), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data);
}

long RegistryKeyStore::CloseKey(KeyHandle key) {
    if (key == kCurrentUserKey || key == kNoKey)
        return ERROR_SUCCESS;
    return RegCloseKey(ToHkey(key));
}

std::string RegistryKeyStore::ErrorText(long code) {
    DWORD error = code == -1 ? GetLastError() : static_cast<DWORD>(code);
    char* buffer = nullptr;
    // FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, the user's default language.
    DWORD length =
        FormatMessageA(0x1100, nullptr, error, 0x400, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length > 0 && buffer ? std::string(buffer, length) : std::string();
    if (buffer)
        LocalFree(buffer);
    return text;
}

long RegistryKeyStore::LastError() const {
    return static_cast<long>(GetLastError());
}

int RegistryKeyStore::PlatformId() const {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    // Deprecated, but it is the call that tells the platform id.
#if defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4996)
#elif defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    BOOL ok = GetVersionExA(&info);
#if defined(_MSC_VER)
#pragma warning(pop)
#elif defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    return ok ? static_cast<int>(info.dwPlatformId) : 2;
}

#endif // _WIN32
