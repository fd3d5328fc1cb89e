// The fixture modules, loaded for real from beside the test program, and configuration
// files written beside the program, which is the host directory the module resolves
// against. The reference factory module itself is testsupport::ReferenceFactory.
#pragma once

#include <string>

#include "platform/platform.h"
#include "zorvi/factory.h"

namespace factorytest {

// Each call raises the module's load count; nothing unloads it, as nothing in the module
// unloads a factory.
platform::ModuleHandle LoadBesideProgram(const char* fileName);

// The module's ComponentFactory, asked for through its CreateComponent export; null when
// the module has none to give.
zorvi::IComponentFactory* ComponentFactoryOf(platform::ModuleHandle module);

// What the Microsoft runtime's %p writes: upper-case hex of the pointer's full width.
std::string MsvcPointerText(const void* address);

// An INI file beside the test program, removed when the scope ends.
class ConfigFileBesideProgram {
public:
    ConfigFileBesideProgram(const std::string& name, const std::string& text);
    ~ConfigFileBesideProgram();
    ConfigFileBesideProgram(const ConfigFileBesideProgram&) = delete;
    ConfigFileBesideProgram& operator=(const ConfigFileBesideProgram&) = delete;

    void Rewrite(const std::string& text) const;
    const std::string& Name() const { return name_; }
    const std::string& Path() const { return path_; }

private:
    std::string name_;
    std::string path_;
};

// "[361]\nDLL=<dll>\n": a configuration naming a factory module beside it.
std::string NamingFactory(const std::string& dll);

}  // namespace factorytest
