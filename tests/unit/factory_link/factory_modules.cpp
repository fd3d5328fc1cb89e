#include "factory_modules.h"

#include <cstdio>
#include <fstream>

#include "module_files.h"
#include "zorvi/exports.h"

namespace factorytest {

platform::ModuleHandle LoadBesideProgram(const char* fileName) {
    return platform::LoadModule(testsupport::BesideExecutable(fileName).c_str());
}

zorvi::IComponentFactory* ComponentFactoryOf(platform::ModuleHandle module) {
    auto create = reinterpret_cast<zorvi::CreateComponentFn>(platform::FindExport(module, "CreateComponent"));
    if (!create) return nullptr;
    return static_cast<zorvi::IComponentFactory*>(create(zorvi::kComponentFactoryId, 0));
}

std::string MsvcPointerText(const void* address) {
    static const char kDigits[] = "0123456789ABCDEF";
    uintptr_t value = reinterpret_cast<uintptr_t>(address);
    std::string text(2 * sizeof(void*), '0');
    for (size_t i = text.size(); i-- > 0; value >>= 4) text[i] = kDigits[value & 0xF];
    return text;
}

ConfigFileBesideProgram::ConfigFileBesideProgram(const std::string& name, const std::string& text)
    : name_(name), path_(testsupport::BesideExecutable(name)) {
    Rewrite(text);
}

ConfigFileBesideProgram::~ConfigFileBesideProgram() { std::remove(path_.c_str()); }

void ConfigFileBesideProgram::Rewrite(const std::string& text) const {
    std::ofstream file(path_, std::ios::binary | std::ios::trunc);
    file << text;
}

std::string NamingFactory(const std::string& dll) { return "[361]\nDLL=" + dll + "\n"; }

}  // namespace factorytest
