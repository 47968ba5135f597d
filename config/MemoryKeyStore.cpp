#include "config/MemoryKeyStore.h"

#include <algorithm>

#include "base/Messenger.h"

struct MemoryKeyStore::Node {
    std::string name;
    std::map<std::string, std::shared_ptr<Node>> children;
    std::map<std::string, Value> values;
    bool deleted = false;
    // Children in enumeration order, rebuilt after a change, so that enumerating
    // all sub-keys one index at a time stays linear.
    mutable std::vector<const Node*> order;
    mutable bool orderValid = false;

    const Node* Child(std::uint32_t index) const {
        if (!orderValid) {
            order.clear();
            order.reserve(children.size());
            for (const auto& [childName, child] : children)
                order.push_back(child.get());
            orderValid = true;
        }
        return index < order.size() ? order[index] : nullptr;
    }
};

MemoryKeyStore::MemoryKeyStore() : m_root(std::make_shared<Node>()) {}

MemoryKeyStore::~MemoryKeyStore() = default;

std::string MemoryKeyStore::SystemErrorText(long code) {
    switch (code) {
    case 0:
        return "The operation completed successfully.\r\n";
    case 1:
        return "Incorrect function.\r\n";
    case 2:
        return "The system cannot find the file specified.\r\n";
    case 3:
        return "The system cannot find the path specified.\r\n";
    case 5:
        return "Access is denied.\r\n";
    case 6:
        return "The handle is invalid.\r\n";
    case 8:
        return "Not enough memory resources are available to process this command.\r\n";
    case 13:
        return "The data is invalid.\r\n";
    case 14:
        return "Not enough memory resources are available to complete this operation.\r\n";
    case 29:
        return "The system cannot write to the specified device.\r\n";
    case 30:
        return "The system cannot read from the specified device.\r\n";
    case 87:
        return "The parameter is incorrect.\r\n";
    case 112:
        return "There is not enough space on the disk.\r\n";
    case 234:
        return "More data is available.\r\n";
    case 259:
        return "No more data is available.\r\n";
    case 1009:
        return "The configuration registry database is corrupt.\r\n";
    case 1010:
        return "The configuration registry key is invalid.\r\n";
    case 1011:
        return "The configuration registry key could not be opened.\r\n";
    case 1012:
        return "The configuration registry key could not be read.\r\n";
    case 1013:
        return "The configuration registry key could not be written.\r\n";
    case 1016:
        return "An I/O operation initiated by the registry failed unrecoverably. The registry could not read "
               "in, or write out, or flush, one of the files that contain the system's image of the "
               "registry.\r\n";
    case 1018:
        return "Illegal operation attempted on a registry key that has been marked for deletion.\r\n";
    case 1020:
        return "Cannot create a symbolic link in a registry key that already has subkeys or values.\r\n";
    case 1021:
        return "Cannot create a stable subkey under a volatile parent key.\r\n";
    default:
        return StrFormat("Unknown error %ld.\r\n", code);
    }
}

std::string MemoryKeyStore::ErrorText(long code) {
    return SystemErrorText(code == -1 ? m_lastError : code);
}

// --- Fault injection ---

void MemoryKeyStore::FailCall(Op op, long code, int nth, std::optional<std::string> name, int times) {
    m_faults.push_back({op, code, std::max(nth, 1) - 1, times == 0 ? 1 : times, std::move(name), false});
}

void MemoryKeyStore::ReportOpenedExisting(std::optional<std::string> name, int nth) {
    m_faults.push_back({Op::Create, keyerr::kSuccess, std::max(nth, 1) - 1, 1, std::move(name), true});
}

void MemoryKeyStore::ClearFaults() {
    m_faults.clear();
}

int MemoryKeyStore::CallCount(Op op) const {
    auto it = m_calls.find(op);
    return it == m_calls.end() ? 0 : it->second;
}

std::optional<long> MemoryKeyStore::CheckFault(Op op, const std::string& subject,
                                               const std::string* valueName, bool* openedExisting) {
    ++m_calls[op];
    std::optional<long> result;
    for (auto it = m_faults.begin(); it != m_faults.end();) {
        Fault& f = *it;
        bool about = !f.name || *f.name == subject || (valueName && *f.name == *valueName);
        if (f.op != op || !about || result || (openedExisting && *openedExisting && f.openedExisting)) {
            ++it;
            continue;
        }
        if (f.skip > 0) {
            --f.skip;
            ++it;
            continue;
        }
        if (f.openedExisting) {
            if (openedExisting)
                *openedExisting = true;
        } else {
            result = f.code;
        }
        if (f.times > 0 && --f.times == 0) {
            it = m_faults.erase(it);
            continue;
        }
        ++it;
    }
    return result;
}

long MemoryKeyStore::Fail(long code) {
    m_lastError = code;
    return code;
}

// --- Handles ---

std::shared_ptr<MemoryKeyStore::Node> MemoryKeyStore::ResolveShared(KeyHandle key) const {
    if (key == kCurrentUserKey)
        return m_root;
    auto it = m_handles.find(key);
    return it == m_handles.end() ? nullptr : it->second;
}

MemoryKeyStore::Node* MemoryKeyStore::Resolve(KeyHandle key) const {
    return ResolveShared(key).get();
}

KeyHandle MemoryKeyStore::NewHandle(const std::shared_ptr<Node>& node) {
    KeyHandle h = m_nextHandle++;
    m_handles.emplace(h, node);
    return h;
}

// --- Operations ---

long MemoryKeyStore::OpenKey(KeyHandle parent, const std::string& name, std::uint32_t, KeyHandle& out) {
    out = kNoKey;
    if (auto code = CheckFault(Op::Open, name, nullptr))
        return Fail(*code);
    std::shared_ptr<Node> node = ResolveShared(parent);
    if (!node)
        return Fail(keyerr::kInvalidHandle);
    if (node->deleted)
        return Fail(keyerr::kKeyDeleted);
    if (!name.empty()) {
        auto it = node->children.find(name);
        if (it == node->children.end())
            return Fail(keyerr::kFileNotFound);
        node = it->second;
    }
    out = NewHandle(node);
    return keyerr::kSuccess;
}

long MemoryKeyStore::CreateKey(KeyHandle parent, const std::string& name, std::uint32_t, KeyHandle& out,
                               bool& created) {
    out = kNoKey;
    created = false;
    bool openedExisting = false;
    if (auto code = CheckFault(Op::Create, name, nullptr, &openedExisting))
        return Fail(*code);
    std::shared_ptr<Node> node = ResolveShared(parent);
    if (!node)
        return Fail(keyerr::kInvalidHandle);
    if (node->deleted)
        return Fail(keyerr::kKeyDeleted);
    if (!name.empty()) {
        auto [it, inserted] = node->children.try_emplace(name);
        if (inserted) {
            it->second = std::make_shared<Node>();
            it->second->name = name;
            node->orderValid = false;
            ++m_changes;
            created = true;
        }
        node = it->second;
    }
    if (openedExisting)
        created = false;
    out = NewHandle(node);
    return keyerr::kSuccess;
}

void MemoryKeyStore::MarkDeleted(Node& node) {
    node.deleted = true;
    for (auto& [name, child] : node.children)
        MarkDeleted(*child);
}

long MemoryKeyStore::DeleteKey(KeyHandle parent, const std::string& name) {
    if (auto code = CheckFault(Op::Delete, name, nullptr))
        return Fail(*code);
    Node* node = Resolve(parent);
    if (!node)
        return Fail(keyerr::kInvalidHandle);
    if (node->deleted)
        return Fail(keyerr::kKeyDeleted);
    if (name.empty())
        return Fail(keyerr::kInvalidParameter);
    auto it = node->children.find(name);
    if (it == node->children.end())
        return Fail(keyerr::kFileNotFound);
    if (m_platformId == 2 && !it->second->children.empty())
        return Fail(keyerr::kAccessDenied);
    MarkDeleted(*it->second);
    node->children.erase(it);
    node->orderValid = false;
    ++m_changes;
    return keyerr::kSuccess;
}

// The open key behind a handle, after the armed fault of op: kSuccess, or the error
// (already recorded as the last error) for an injected fault, a bad handle or a
// deleted key.
long MemoryKeyStore::LiveNode(KeyHandle key, Op op, const std::string* valueName, std::shared_ptr<Node>& node) {
    node = ResolveShared(key);
    if (auto code = CheckFault(op, node ? node->name : std::string(), valueName))
        return Fail(*code);
    if (!node)
        return Fail(keyerr::kInvalidHandle);
    if (node->deleted)
        return Fail(keyerr::kKeyDeleted);
    return keyerr::kSuccess;
}

long MemoryKeyStore::EnumKey(KeyHandle key, std::uint32_t index, std::string& name) {
    name.clear();
    std::shared_ptr<Node> node;
    if (long rc = LiveNode(key, Op::Enum, nullptr, node))
        return rc;
    const Node* child = node->Child(index);
    if (!child)
        return Fail(keyerr::kNoMoreItems);
    if (child->name.size() > kMaxKeyNameLength) {
        name = child->name.substr(0, kMaxKeyNameLength);
        return Fail(keyerr::kMoreData);
    }
    name = child->name;
    return keyerr::kSuccess;
}

long MemoryKeyStore::QueryInfoKey(KeyHandle key, std::uint32_t& subKeyCount) {
    subKeyCount = 0;
    std::shared_ptr<Node> node;
    if (long rc = LiveNode(key, Op::QueryInfo, nullptr, node))
        return rc;
    subKeyCount = static_cast<std::uint32_t>(node->children.size());
    return keyerr::kSuccess;
}

long MemoryKeyStore::LiveValue(KeyHandle key, Op op, const std::string& name, const Value*& value) {
    value = nullptr;
    std::shared_ptr<Node> node;
    if (long rc = LiveNode(key, op, &name, node))
        return rc;
    auto it = node->values.find(name);
    if (it == node->values.end())
        return Fail(keyerr::kFileNotFound);
    value = &it->second;
    return keyerr::kSuccess;
}

long MemoryKeyStore::StoreValue(KeyHandle key, Op op, const std::string& name, Value value) {
    std::shared_ptr<Node> node;
    if (long rc = LiveNode(key, op, &name, node))
        return rc;
    node->values[name] = std::move(value);
    ++m_changes;
    return keyerr::kSuccess;
}

long MemoryKeyStore::QueryValueSize(KeyHandle key, const std::string& name, std::uint32_t& size) {
    size = 0;
    const Value* value = nullptr;
    if (long rc = LiveValue(key, Op::QueryValueSize, name, value))
        return rc;
    size = value->isDword ? 4 : static_cast<std::uint32_t>(value->text.size() + 1);
    return keyerr::kSuccess;
}

long MemoryKeyStore::QueryString(KeyHandle key, const std::string& name, std::string& value) {
    value.clear();
    const Value* stored = nullptr;
    if (long rc = LiveValue(key, Op::QueryString, name, stored))
        return rc;
    if (stored->isDword)
        return Fail(keyerr::kInvalidData);
    value = stored->text;
    return keyerr::kSuccess;
}

long MemoryKeyStore::SetString(KeyHandle key, const std::string& name, const std::string& value) {
    Value v;
    v.text = value;
    return StoreValue(key, Op::SetString, name, std::move(v));
}

long MemoryKeyStore::QueryDword(KeyHandle key, const std::string& name, std::uint32_t& value) {
    value = 0;
    const Value* stored = nullptr;
    if (long rc = LiveValue(key, Op::QueryDword, name, stored))
        return rc;
    if (!stored->isDword)
        return Fail(keyerr::kInvalidData);
    value = stored->number;
    return keyerr::kSuccess;
}

long MemoryKeyStore::SetDword(KeyHandle key, const std::string& name, std::uint32_t value) {
    Value v;
    v.isDword = true;
    v.number = value;
    return StoreValue(key, Op::SetDword, name, std::move(v));
}

long MemoryKeyStore::CloseKey(KeyHandle key) {
    std::shared_ptr<Node> node = ResolveShared(key);
    if (auto code = CheckFault(Op::Close, node ? node->name : std::string(), nullptr))
        return Fail(*code);
    if (key == kCurrentUserKey)
        return keyerr::kSuccess;
    if (m_handles.erase(key) == 0)
        return Fail(keyerr::kInvalidHandle);
    return keyerr::kSuccess;
}

// --- Direct access ---

const MemoryKeyStore::Node* MemoryKeyStore::Find(const KeyPath& path) const {
    const Node* node = m_root.get();
    for (const std::string& part : path) {
        auto it = node->children.find(part);
        if (it == node->children.end())
            return nullptr;
        node = it->second.get();
    }
    return node;
}

MemoryKeyStore::Node* MemoryKeyStore::Make(const KeyPath& path) {
    Node* node = m_root.get();
    for (const std::string& part : path) {
        auto [it, inserted] = node->children.try_emplace(part);
        if (inserted) {
            it->second = std::make_shared<Node>();
            it->second->name = part;
            node->orderValid = false;
            ++m_changes;
        }
        node = it->second.get();
    }
    return node;
}

bool MemoryKeyStore::KeyExists(const KeyPath& path) const {
    return Find(path) != nullptr;
}

std::vector<std::string> MemoryKeyStore::SubKeyNames(const KeyPath& path) const {
    std::vector<std::string> names;
    if (const Node* node = Find(path))
        for (const auto& [name, child] : node->children)
            names.push_back(name);
    return names;
}

std::optional<MemoryKeyStore::Value> MemoryKeyStore::GetValue(const KeyPath& path,
                                                              const std::string& name) const {
    const Node* node = Find(path);
    if (!node)
        return std::nullopt;
    auto it = node->values.find(name);
    if (it == node->values.end())
        return std::nullopt;
    return it->second;
}

void MemoryKeyStore::PutKey(const KeyPath& path) {
    Make(path);
}

void MemoryKeyStore::PutValue(const KeyPath& path, const std::string& name, const Value& value) {
    Make(path)->values[name] = value;
    ++m_changes;
}

namespace {
template <typename NodeT, typename Fn> void VisitNode(const NodeT& node, KeyPath& path, const Fn& visitor) {
    visitor(path, node.values);
    for (const auto& [name, child] : node.children) {
        path.push_back(name);
        VisitNode(*child, path, visitor);
        path.pop_back();
    }
}
} // namespace

void MemoryKeyStore::Visit(
    const std::function<void(const KeyPath&, const std::map<std::string, Value>&)>& visitor) const {
    KeyPath path;
    VisitNode(*m_root, path, visitor);
}

void MemoryKeyStore::ClearTree() {
    for (auto& [name, child] : m_root->children)
        MarkDeleted(*child);
    m_root->children.clear();
    m_root->values.clear();
    m_root->orderValid = false;
    ++m_changes;
}
