#include "FileUtility.h"

#include <QList>

#include <filesystem>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace FileUtility {

std::string GetCurrentWorkingDirectory() {
    std::error_code ec;
    std::string dir = fs::current_path(ec).string();
    // A working directory that was removed has no name any more; any stand-in ("/") would put
    // the user's files somewhere else.
    if (ec || dir.empty() || dir.front() != '/')
        return std::string();
    if (dir.back() != '/')
        dir.push_back('/');
    return dir;
}

bool createDirectory(const std::string& path) {
    std::error_code ec;
    // Called before every stored message: a directory that is there already costs one look-up.
    if (fs::is_directory(path, ec))
        return true;
    fs::path current;
    for (const fs::path& part : fs::path(path)) {
        current /= part;
        if (part.empty() || fs::is_directory(current, ec))
            continue;
        if (!fs::create_directory(current, ec))
            return false;
        // Profiles hold private conversations: owner only, whatever the umask.
        fs::permissions(current, fs::perms::owner_all, fs::perm_options::replace, ec);
    }
    return fs::is_directory(path, ec);
}

bool fileExist(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool deleteFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec) && fs::remove(path, ec);
}

bool directoryExist(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool EmptyDirectory(const std::string& path) {
    std::error_code ec;
    if (!fs::is_directory(path, ec))
        return false;
    bool allRemoved = true;
    for (const auto& entry : fs::directory_iterator(path, ec)) {
        std::error_code removeError;
        fs::remove_all(entry.path(), removeError);
        allRemoved = allRemoved && !removeError;
    }
    return allRemoved && !ec;
}

namespace {

constexpr qsizetype kMaxFileNameBytes = 255;

bool UnsafeInFileName(char32_t c) {
    if (c < 0x80)
        return c < 0x20 || c == 0x7F ||
               std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
    return c < 0xA0 || c == 0x2028 || c == 0x2029;
}

qsizetype Utf8Length(char32_t c) {
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

} // namespace

QString SafeFileName(const QString& stem, const QString& suffix) {
    const qsizetype room = kMaxFileNameBytes - suffix.toUtf8().size();
    QString name;
    qsizetype used = 0;
    for (const uint c : stem.toUcs4()) {
        const char32_t safe = UnsafeInFileName(c) ? U'_' : static_cast<char32_t>(c);
        used += Utf8Length(safe);
        if (used > room)
            break;
        name += QString::fromUcs4(&safe, 1);
    }
    if (name.isEmpty())
        name = QStringLiteral("_");
    return name + suffix;
}

} // namespace FileUtility
