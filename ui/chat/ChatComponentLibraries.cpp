#include "ChatComponentLibraries.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <map>
#include <unistd.h>
#include <utility>

namespace pellix {

namespace {

class LibraryTable {
public:
    LibraryTable() = default;
    LibraryTable(const LibraryTable&) = delete;
    LibraryTable& operator=(const LibraryTable&) = delete;
    ~LibraryTable() {
        for (auto& [name, entry] : m_entries) {
            if (entry.hModule != nullptr)
                dlclose(entry.hModule);
            entry.hModule = nullptr;
        }
    }

    std::map<std::string, LibraryEntry> m_entries;
};

// Owned here, and freed by Release(). A plain pointer, because the module's unload hook calls
// Release() as well: at exit the static destructors run before that hook, on unload after it, and
// a pointer outlives every destructor.
LibraryTable* g_pLibraries = nullptr;
std::string g_strDirectoryOverride;

// Frees the table when the module's file is unloaded, or at exit for a program that links it,
// unless Release() did so first.
struct LibraryTableCloser {
    LibraryTableCloser() = default;
    LibraryTableCloser(const LibraryTableCloser&) = delete;
    LibraryTableCloser& operator=(const LibraryTableCloser&) = delete;
    ~LibraryTableCloser() { ChatComponentLibraries::Release(); }
} g_libraryTableCloser;

LibraryTable& Table() {
    if (g_pLibraries == nullptr)
        g_pLibraries = new LibraryTable();
    return *g_pLibraries;
}

// A byte of the module's own image: dladdr finds the file it was loaded from.
const char kModuleAnchor = 0;

std::string ModuleDirectory() {
    Dl_info info{};
    link_map* map = nullptr;
    if (dladdr1(&kModuleAnchor, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0)
        return {};
    // The main program's map has no name: the code is linked into the program itself.
    const char* file = map != nullptr && map->l_name[0] != '\0' ? map->l_name : "/proc/self/exe";
    char resolved[PATH_MAX];
    if (realpath(file, resolved) == nullptr)
        return {};
    const std::string path(resolved);
    return path.substr(0, path.rfind('/'));
}

// dlopen keeps errno as it was, so the file is opened here for the system's word on it: missing,
// unreadable, or there but not a library this process can load (ELIBBAD).
int OpenFailureCode(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    close(fd);
    return ELIBBAD;
}

LibraryError LastError(int code) {
    const char* detail = dlerror();
    return {code, detail != nullptr ? detail : ""};
}

} // namespace

namespace ChatComponentLibraries {

void Register(const std::string& fileName) {
    Table().m_entries.try_emplace(fileName);
}

LibraryEntry* Find(const std::string& fileName) {
    if (g_pLibraries == nullptr)
        return nullptr;
    const auto found = g_pLibraries->m_entries.find(fileName);
    return found != g_pLibraries->m_entries.end() ? &found->second : nullptr;
}

bool Open(LibraryEntry& entry, const std::string& fileName, LibraryError& error) {
    if (entry.hModule != nullptr)
        return true;
    const std::string directory = Directory();
    if (directory.empty()) {
        error = {ENOENT, "the directory of the module's file is unknown"};
        return false;
    }
    // An absolute path: never the working directory, never the loader's search path.
    const std::string path = directory + "/" + fileName;
    dlerror();
    errno = 0;
    entry.hModule = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (entry.hModule == nullptr) {
        const int code = errno;
        error = LastError(code != 0 ? code : OpenFailureCode(path));
        return false;
    }
    entry.strFileName = fileName;
    return true;
}

void* FindSymbol(const LibraryEntry& entry, const std::string& name, LibraryError& error) {
    dlerror();
    errno = 0;
    void* symbol = dlsym(entry.hModule, name.c_str());
    if (symbol == nullptr)
        error = LastError(errno);
    return symbol;
}

void Release() {
    delete std::exchange(g_pLibraries, nullptr);
}

std::string Directory() {
    if (!g_strDirectoryOverride.empty())
        return g_strDirectoryOverride;
    static const std::string moduleDirectory = ModuleDirectory();
    return moduleDirectory;
}

void SetDirectory(const std::string& directory) {
    g_strDirectoryOverride = directory;
}

} // namespace ChatComponentLibraries

} // namespace pellix
