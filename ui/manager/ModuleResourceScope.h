#pragma once
// Brackets the creation of every window of the module: while a scope is open the current resource
// handle is the module's own file, afterwards the host executable's (not the value it had before).

#include <string>

namespace pellix {

class ModuleResourceScope {
public:
    ModuleResourceScope();
    ~ModuleResourceScope();
    ModuleResourceScope(const ModuleResourceScope&) = delete;
    ModuleResourceScope& operator=(const ModuleResourceScope&) = delete;

    // The file whose resources (templates, icons) are looked up now.
    static const std::string& CurrentResourceHandle();
    // The module's own file (libpellix.so, or the program the module is linked into).
    static std::string ModuleFile();
    static std::string HostExecutable();
};

} // namespace pellix
