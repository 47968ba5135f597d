// A hierarchical key store with the semantics of the per-user registry: named keys
// with sub-keys, string and 32-bit values, enumeration by index. Error codes are the
// registry's (0 success, 2 not found, 5 access denied, 259 no more items, ...).
#pragma once

#include <cstdint>
#include <string>

using KeyHandle = std::uintptr_t;
constexpr KeyHandle kNoKey = 0;
constexpr KeyHandle kCurrentUserKey = 1; // the root, standing in for HKEY_CURRENT_USER

namespace keyerr {
constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kNotEnoughMemory = 8;
constexpr long kInvalidData = 13;
constexpr long kWriteFault = 29;
constexpr long kInvalidParameter = 87;
constexpr long kMoreData = 234;
constexpr long kNoMoreItems = 259;
constexpr long kKeyDeleted = 1018;
constexpr long kRegistryIO = 1016;
constexpr long kKeyHasChildren = 1020;
constexpr long kChildMustBeVolatile = 1021;
} // namespace keyerr

// Access rights, as in the registry (only passed through; stores may ignore them).
constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeyWrite = 0x20006;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;

// The longest sub-key name an enumeration returns (a buffer of 260 with terminator).
constexpr std::size_t kMaxKeyNameLength = 259;

class IKeyStore {
public:
    virtual ~IKeyStore() = default;

    virtual long OpenKey(KeyHandle parent, const std::string& name, std::uint32_t access, KeyHandle& out) = 0;
    // created tells a new key from an existing one that was opened.
    virtual long CreateKey(KeyHandle parent, const std::string& name, std::uint32_t access, KeyHandle& out,
                           bool& created) = 0;
    // Refuses (kAccessDenied) a key that still has sub-keys when PlatformId() is 2.
    virtual long DeleteKey(KeyHandle parent, const std::string& name) = 0;
    // The index-th sub-key's name; names longer than kMaxKeyNameLength come back cut
    // to that length with kMoreData. kNoMoreItems past the end.
    virtual long EnumKey(KeyHandle key, std::uint32_t index, std::string& name) = 0;
    virtual long QueryInfoKey(KeyHandle key, std::uint32_t& subKeyCount) = 0;
    // Size in bytes of a string value, including the terminating zero.
    virtual long QueryValueSize(KeyHandle key, const std::string& name, std::uint32_t& size) = 0;
    virtual long QueryString(KeyHandle key, const std::string& name, std::string& value) = 0;
    virtual long SetString(KeyHandle key, const std::string& name, const std::string& value) = 0;
    virtual long QueryDword(KeyHandle key, const std::string& name, std::uint32_t& value) = 0;
    virtual long SetDword(KeyHandle key, const std::string& name, std::uint32_t value) = 0;
    virtual long CloseKey(KeyHandle key) = 0;

    // The system's text for an error code; -1 means the last error of this store.
    virtual std::string ErrorText(long code) = 0;
    virtual long LastError() const = 0;
    // 2 for stores whose deletion refuses keys with sub-keys (the NT rule).
    virtual int PlatformId() const { return 2; }

    // Makes every change so far durable. Stores that write through return true.
    virtual bool Flush(std::string& error) {
        error.clear();
        return true;
    }
};
