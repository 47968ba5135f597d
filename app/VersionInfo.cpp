#include "app/VersionInfo.h"

#include <elf.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/Messenger.h"

namespace {

constexpr std::uint32_t kFixedSignature = 0xFEEF04BDu;
constexpr char kMagic[16] = "TindrelVersion1";

// The string table: the block name, then name and value pairs, then an empty name.
#define TINDREL_VERSION_STRINGS                                                                              \
    "040904b0\0"                                                                                             \
    "CompanyName\0Velmora Software\0"                                                                        \
    "FileDescription\0Tindrel  Application\0"                                                                \
    "FileVersion\0"                                                                                          \
    "1, 0, 198, 133\0"                                                                                       \
    "InternalName\0Tindrel\0"                                                                                \
    "LegalCopyright\0Copyright (C) Velmora Software\0"                                                       \
    "OriginalFilename\0tindrel\0"                                                                            \
    "ProductName\0Tindrel\0"                                                                                 \
    "ProductVersion\0"                                                                                       \
    "1, 0, 0, 0\0"                                                                                           \
    "\0"

struct VersionRecord {
    char magic[16];
    std::uint32_t signature;
    std::uint32_t fileVersionMS;
    std::uint32_t fileVersionLS;
    std::uint32_t productVersionMS;
    std::uint32_t productVersionLS;
    std::uint32_t stringBytes;
    char strings[sizeof(TINDREL_VERSION_STRINGS)];
};

constexpr size_t kHeaderSize = offsetof(VersionRecord, strings);

// File version 1.0.198.133, product version 1.0.0.0.
[[gnu::used, gnu::section(".tindrel_version")]] const VersionRecord kVersionRecord = {
    "TindrelVersion1",
    kFixedSignature,
    (1u << 16) | 0u,
    (198u << 16) | 133u,
    (1u << 16) | 0u,
    0u,
    sizeof(TINDREL_VERSION_STRINGS),
    TINDREL_VERSION_STRINGS};

#undef TINDREL_VERSION_STRINGS

std::uint32_t ReadU32(const std::string& bytes, size_t at) {
    std::uint32_t v;
    std::memcpy(&v, bytes.data() + at, sizeof v);
    return v;
}

// Reads count bytes at offset; false when the file is shorter.
bool ReadAt(std::ifstream& in, std::uint64_t offset, void* out, size_t count) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(static_cast<char*>(out), static_cast<std::streamsize>(count));
    return in.gcount() == static_cast<std::streamsize>(count);
}

template <class Ehdr, class Shdr> std::string FindSection(std::ifstream& in, const char* wanted) {
    Ehdr eh;
    if (!ReadAt(in, 0, &eh, sizeof eh) || eh.e_shentsize != sizeof(Shdr) || eh.e_shnum == 0 ||
        eh.e_shstrndx >= eh.e_shnum || eh.e_shnum > 65000)
        return {};
    std::vector<Shdr> sections(eh.e_shnum);
    if (!ReadAt(in, eh.e_shoff, sections.data(), sizeof(Shdr) * sections.size()))
        return {};
    const Shdr& names = sections[eh.e_shstrndx];
    if (names.sh_size == 0 || names.sh_size > (1u << 24))
        return {};
    std::string nameTable(static_cast<size_t>(names.sh_size), '\0');
    if (!ReadAt(in, names.sh_offset, nameTable.data(), nameTable.size()))
        return {};
    for (const Shdr& s : sections) {
        if (s.sh_name >= nameTable.size() || std::strcmp(nameTable.c_str() + s.sh_name, wanted) != 0)
            continue;
        const auto size = static_cast<std::uint64_t>(s.sh_size);
        if (s.sh_type == SHT_NOBITS || size < kHeaderSize || size > (1u << 20))
            return {};
        std::string bytes(static_cast<size_t>(size), '\0');
        if (!ReadAt(in, s.sh_offset, bytes.data(), bytes.size()))
            return {};
        return bytes;
    }
    return {};
}

bool IsFile(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec);
}

} // namespace

std::string ReadVersionRecord(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    unsigned char ident[EI_NIDENT];
    if (!ReadAt(in, 0, ident, sizeof ident) || std::memcmp(ident, ELFMAG, SELFMAG) != 0)
        return {};
    std::string section;
    if (ident[EI_CLASS] == ELFCLASS64)
        section = FindSection<Elf64_Ehdr, Elf64_Shdr>(in, CVersionInfo::kSectionName);
    else if (ident[EI_CLASS] == ELFCLASS32)
        section = FindSection<Elf32_Ehdr, Elf32_Shdr>(in, CVersionInfo::kSectionName);
    // The section holds exactly one record; anything else is not ours.
    if (section.size() < kHeaderSize || std::memcmp(section.data(), kMagic, sizeof kMagic) != 0 ||
        ReadU32(section, offsetof(VersionRecord, signature)) != kFixedSignature)
        return {};
    return section;
}

bool QueryVersionValue(const std::string& record, const std::string& query, FixedFileInfo* fixed,
                       std::string* text) {
    if (record.size() < kHeaderSize)
        return false;
    if (query == "\\") {
        if (fixed) {
            fixed->signature = ReadU32(record, offsetof(VersionRecord, signature));
            fixed->fileVersionMS = ReadU32(record, offsetof(VersionRecord, fileVersionMS));
            fixed->fileVersionLS = ReadU32(record, offsetof(VersionRecord, fileVersionLS));
            fixed->productVersionMS = ReadU32(record, offsetof(VersionRecord, productVersionMS));
            fixed->productVersionLS = ReadU32(record, offsetof(VersionRecord, productVersionLS));
        }
        return true;
    }
    const std::string prefix = "\\StringFileInfo\\";
    if (query.compare(0, prefix.size(), prefix) != 0)
        return false;
    const size_t sep = query.find('\\', prefix.size());
    if (sep == std::string::npos)
        return false;
    const std::string block = query.substr(prefix.size(), sep - prefix.size());
    const std::string name = query.substr(sep + 1);

    const size_t stringBytes = ReadU32(record, offsetof(VersionRecord, stringBytes));
    if (stringBytes > record.size() - kHeaderSize)
        return false;
    const std::string table = record.substr(kHeaderSize, stringBytes);
    // Splits the table at its zero bytes.
    std::vector<std::string> parts;
    size_t at = 0;
    while (at < table.size()) {
        size_t end = table.find('\0', at);
        if (end == std::string::npos)
            break;
        parts.push_back(table.substr(at, end - at));
        at = end + 1;
    }
    if (parts.empty() || parts[0] != block)
        return false;
    for (size_t i = 1; i + 1 < parts.size() && !parts[i].empty(); i += 2) {
        if (parts[i] == name) {
            if (text)
                *text = parts[i + 1];
            return true;
        }
    }
    return false;
}

std::string CVersionInfo::ResolveFile(const char* fileName) {
    if (!fileName || !*fileName)
        return {};
    namespace fs = std::filesystem;
    const std::string name = fileName;
    if (name.find('/') != std::string::npos)
        return IsFile(name) ? name : std::string();
    // The module search order: the program's folder, the current folder, then PATH.
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && IsFile(self.parent_path() / name))
        return (self.parent_path() / name).string();
    if (IsFile(fs::current_path(ec) / name))
        return (fs::current_path(ec) / name).string();
    if (const char* path = std::getenv("PATH")) {
        std::string dirs = path;
        size_t start = 0;
        while (start <= dirs.size()) {
            size_t colon = dirs.find(':', start);
            std::string dir =
                dirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
            if (!dir.empty() && IsFile(fs::path(dir) / name))
                return (fs::path(dir) / name).string();
            if (colon == std::string::npos)
                break;
            start = colon + 1;
        }
    }
    return {};
}

CVersionInfo::CVersionInfo(const char* fileName, const char* block, const char* value) {
    const std::string path = ResolveFile(fileName);
    if (path.empty())
        return;
    const std::string record = ReadVersionRecord(path);
    if (record.empty())
        return;
    FixedFileInfo fixed;
    if (!QueryVersionValue(record, "\\", &fixed, nullptr))
        return;
    m_strProductVersion = StrFormat("%u.%u", fixed.productVersionMS >> 16, fixed.productVersionMS & 0xFFFFu);
    m_strFileVersion = StrFormat("%u.%u.%u.%u", fixed.fileVersionMS >> 16, fixed.fileVersionMS & 0xFFFFu,
                                 fixed.fileVersionLS >> 16, fixed.fileVersionLS & 0xFFFFu);
    if (block || value) {
        std::string query =
            std::string("\\StringFileInfo\\") + (block ? block : "") + "\\" + (value ? value : "");
        if (query.size() > 499)
            query.resize(499);
        std::string text;
        if (QueryVersionValue(record, query, nullptr, &text))
            m_strValue = text;
    }
}
