#pragma once
// The process-wide table of chat component libraries, keyed by exact file name: each library is
// opened once, by absolute path from the directory of the module's own file, and shared by every
// holder that names it. The table is made on first use and freed, with every library closed, by
// Release() or, at the latest, when the module's file is unloaded (a static object's destructor).

#include <string>

namespace pellix {

struct LibraryEntry {
    void* hModule = nullptr; // null until loaded
    std::string strFileName; // empty until the library has been loaded once
};

// Why a library could not be opened or a symbol found: the system's error number (0 if it gave
// none) and dlerror()'s text. A library that cannot be opened gives the error of opening its file
// (ENOENT when missing), or ELIBBAD when the file is there but does not load.
struct LibraryError {
    long nCode = 0;
    std::string strDetail;
};

namespace ChatComponentLibraries {

// Adds an empty entry for the file when there is none.
void Register(const std::string& fileName);
// The entry of the file, or null when the table has none (never registered, or released since).
LibraryEntry* Find(const std::string& fileName);
// Opens the entry's library unless it is open; false with the error when it cannot be opened.
bool Open(LibraryEntry& entry, const std::string& fileName, LibraryError& error);
// The address of a symbol of an open library, or null with the error.
void* FindSymbol(const LibraryEntry& entry, const std::string& name, LibraryError& error);

// Closes every library and deletes the table; for the module's unload hook. Call it only when no
// component object made by these libraries is alive any more.
void Release();

// The directory the libraries are opened from: that of the module's own file (for a program that
// links the module's code, the program's), unless set. Tests set it; empty goes back to the
// module's.
std::string Directory();
void SetDirectory(const std::string& directory);

} // namespace ChatComponentLibraries

} // namespace pellix
