// The key store on Windows: the per-user registry itself. Key names there are
// compared without regard to letter case, so two names that differ only in case
// are one key.
#pragma once

#ifdef _WIN32

#include "config/KeyStore.h"

class RegistryKeyStore : public IKeyStore {
public:
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
    long LastError() const override;
    int PlatformId() const override;
};

#endif // _WIN32
