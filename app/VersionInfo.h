// CVersionInfo: reads the version record that the build embeds in the program file.
// The record holds the fixed file information (file and product version numbers) and
// a string table in the block "040904b0"; it lives in the ELF section
// ".tindrel_version" of the executable.
#pragma once

#include <cstdint>
#include <string>

class CVersionInfo {
public:
    // fileName: a path, or a bare file name that is looked for beside the running
    // program, then in the current folder, then along PATH. block and value are
    // optional (nullptr); when either is given, m_strValue is read as well.
    explicit CVersionInfo(const char* fileName, const char* block = nullptr, const char* value = nullptr);

    std::string m_strValue;          // one value of the string table
    std::string m_strFileVersion;    // "1.0.198.133"
    std::string m_strProductVersion; // "1.0"

    // The file a bare name stands for, or "" when there is none.
    static std::string ResolveFile(const char* fileName);

    static constexpr const char* kSectionName = ".tindrel_version";
};

// The fixed part of the record, as the platform's fixed file information has it.
struct FixedFileInfo {
    std::uint32_t signature = 0;
    std::uint32_t fileVersionMS = 0;
    std::uint32_t fileVersionLS = 0;
    std::uint32_t productVersionMS = 0;
    std::uint32_t productVersionLS = 0;
};

// Reads the whole record of a file: its bytes, or "" when the file has none.
std::string ReadVersionRecord(const std::string& path);
// Queries a record: "\\" gives the fixed part, "\\StringFileInfo\\<block>\\<name>"
// a string. False when the record has no such entry.
bool QueryVersionValue(const std::string& record, const std::string& query, FixedFileInfo* fixed,
                       std::string* text);
