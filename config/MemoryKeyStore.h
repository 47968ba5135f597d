// A key store held in memory with the registry's semantics: a tree of keys whose
// names are exact byte strings, string and 32-bit values, handles, enumeration of
// sub-keys by index in unsigned byte order of their names. Tests can make any call
// fail with any code; the file-backed store keeps its tree in one of these.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/KeyStore.h"

using KeyPath = std::vector<std::string>;

class MemoryKeyStore : public IKeyStore {
public:
    struct Value {
        bool isDword = false;
        std::string text;         // a string value, without its terminating zero
        std::uint32_t number = 0; // a DWORD value
        bool operator==(const Value&) const = default;
    };

    // The operations, as fault injection names them.
    enum class Op {
        Open,
        Create,
        Delete,
        Enum,
        QueryInfo,
        QueryValueSize,
        QueryString,
        SetString,
        QueryDword,
        SetDword,
        Close
    };

    MemoryKeyStore();
    ~MemoryKeyStore() override;
    MemoryKeyStore(const MemoryKeyStore&) = delete;
    MemoryKeyStore& operator=(const MemoryKeyStore&) = delete;

    long OpenKey(KeyHandle parent, const std::string& name, std::uint32_t access, KeyHandle& out) override;
    long CreateKey(KeyHandle parent, const std::string& name, std::uint32_t access, KeyHandle& out,
                   bool& created) override;
    long DeleteKey(KeyHandle parent, const std::string& name) override;
    long EnumKey(KeyHandle key, std::uint32_t index, std::string& name) override;
    long QueryInfoKey(KeyHandle key, std::uint32_t& subKeyCount) override;
    long QueryValueSize(KeyHandle key, const std::string& name, std::uint32_t& size) override;
    long QueryString(KeyHandle key, const std::string& name, std::string& value) override;
    long SetString(KeyHandle key, const std::string& name, const std::string& value) override;
    long QueryDword(KeyHandle key, const std::string& name, std::uint32_t& value) override;
    long SetDword(KeyHandle key, const std::string& name, std::uint32_t value) override;
    long CloseKey(KeyHandle key) override;

    std::string ErrorText(long code) override;
    long LastError() const override { return m_lastError; }
    int PlatformId() const override { return m_platformId; }

    // The Windows system text of an error code (ending in CR LF), as FormatMessage
    // gives it; codes without a known text get a short generic one.
    static std::string SystemErrorText(long code);

    // --- Fault injection ---
    // Makes the nth next call of op (counting only calls about name, when given)
    // fail with code; times > 1 fails that many calls in a row, times < 0 every
    // later one. A call is "about" a name when the sub-key it names (open, create,
    // delete), the key its handle refers to, or the value it names has that name.
    void FailCall(Op op, long code, int nth = 1, std::optional<std::string> name = std::nullopt,
                  int times = 1);
    // Makes the nth next CreateKey (about name, when given) report an existing key
    // that was opened, even when it created the key.
    void ReportOpenedExisting(std::optional<std::string> name = std::nullopt, int nth = 1);
    void ClearFaults();
    // Calls made so far of one operation (faulted ones included).
    int CallCount(Op op) const;
    // 2: deletion refuses keys with sub-keys (the NT rule); otherwise it removes the
    // whole branch.
    void SetPlatformId(int id) { m_platformId = id; }

    // --- Direct access to the tree (for tests and the file-backed store) ---
    bool KeyExists(const KeyPath& path) const;
    // Sub-key names in enumeration order; empty when the key does not exist.
    std::vector<std::string> SubKeyNames(const KeyPath& path) const;
    std::optional<Value> GetValue(const KeyPath& path, const std::string& name) const;
    // Creates the key and its missing ancestors.
    void PutKey(const KeyPath& path);
    void PutValue(const KeyPath& path, const std::string& name, const Value& value);
    // Every key, parents before children, sub-keys in enumeration order; the root
    // (empty path) comes first.
    void Visit(const std::function<void(const KeyPath&, const std::map<std::string, Value>&)>& visitor) const;
    // Removes every key below the root and every root value (open handles then
    // refer to deleted keys).
    void ClearTree();
    std::size_t OpenHandleCount() const { return m_handles.size(); }
    // Grows with every change of the tree.
    std::uint64_t ChangeCount() const { return m_changes; }

private:
    struct Node;
    struct Fault {
        Op op;
        long code;
        int skip;  // matching calls still to let through
        int times; // failures still to give; < 0 for ever
        std::optional<std::string> name;
        bool openedExisting;
    };

    Node* Resolve(KeyHandle key) const;
    std::shared_ptr<Node> ResolveShared(KeyHandle key) const;
    KeyHandle NewHandle(const std::shared_ptr<Node>& node);
    // Counts the call and returns the injected code, if any; openedExisting is set
    // when a create is to report an existing key.
    std::optional<long> CheckFault(Op op, const std::string& subject, const std::string* valueName,
                                   bool* openedExisting = nullptr);
    long Fail(long code);
    long LiveNode(KeyHandle key, Op op, const std::string* valueName, std::shared_ptr<Node>& node);
    // The named value of an open key; "file not found" when it has none.
    long LiveValue(KeyHandle key, Op op, const std::string& name, const Value*& value);
    long StoreValue(KeyHandle key, Op op, const std::string& name, Value value);
    const Node* Find(const KeyPath& path) const;
    Node* Make(const KeyPath& path);
    static void MarkDeleted(Node& node);

    std::shared_ptr<Node> m_root;
    std::map<KeyHandle, std::shared_ptr<Node>> m_handles;
    KeyHandle m_nextHandle = 0x1000;
    std::vector<Fault> m_faults;
    std::map<Op, int> m_calls;
    long m_lastError = 0;
    int m_platformId = 2;
    std::uint64_t m_changes = 0;
};
