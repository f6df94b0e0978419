#include "ModuleResourceScope.h"

#include <dlfcn.h>
#include <filesystem>

namespace pellix {

namespace {

std::string& CurrentHandle() {
    static std::string handle = ModuleResourceScope::HostExecutable();
    return handle;
}

} // namespace

ModuleResourceScope::ModuleResourceScope() {
    CurrentHandle() = ModuleFile();
}

ModuleResourceScope::~ModuleResourceScope() {
    CurrentHandle() = HostExecutable();
}

const std::string& ModuleResourceScope::CurrentResourceHandle() {
    return CurrentHandle();
}

std::string ModuleResourceScope::ModuleFile() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&ModuleResourceScope::ModuleFile), &info) == 0 ||
        info.dli_fname == nullptr)
        return HostExecutable();
    return info.dli_fname;
}

std::string ModuleResourceScope::HostExecutable() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).string();
}

} // namespace pellix
