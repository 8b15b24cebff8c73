#include "files/FileSize.h"

#include "files/VantleUtilities.h"

#include <QFile>

#if defined(Q_OS_UNIX)
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#else
#include <filesystem>
#include <system_error>
#endif

namespace vantle {

bool staysHomeOnUpload(const QString& name) {
    return name == VantleUtilities::kThumbsFolderName ||
           name == VantleUtilities::kMetadataFolderName || name == QLatin1String(".DS_Store");
}

#if defined(Q_OS_UNIX)

namespace {

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// What a walk adds for one entry of a folder, and whether it goes into it.
struct EntrySize {
    quint64 bytes = 0;
    bool descend = false;
};
using EntryRule = EntrySize (*)(int folderFd, const char* name, const struct stat& info);

// Walks with an explicit list of folders still to read, so a deep tree can't exhaust the stack;
// each entry is measured relative to its open folder, which saves the kernel a path walk. Only the
// root may be reached through a link.
std::optional<quint64> sizeBelow(const std::string& root, EntryRule rule,
                                 const std::function<bool()>& stopped = {}) {
    quint64 total = 0;
    std::vector<std::string> pending{root};
    while (!pending.empty()) {
        if (stopped && stopped()) return std::nullopt;
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        const int noFollow = folder == root ? 0 : O_NOFOLLOW;
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | noFollow | O_CLOEXEC);
        if (fd < 0) continue;
        DIR* dir = ::fdopendir(fd);
        if (!dir) {
            ::close(fd);
            continue;
        }
        while (const dirent* entry = ::readdir(dir)) {
            if (isDotOrDotDot(entry->d_name)) continue;
            struct stat info;
            if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
            const EntrySize size = rule(fd, entry->d_name, info);
            total += size.bytes;
            if (size.descend) pending.push_back(folder + '/' + entry->d_name);
        }
        ::closedir(dir);
    }
    return total;
}

EntrySize everyEntry(int, const char*, const struct stat& info) {
    return {static_cast<quint64>(info.st_size), S_ISDIR(info.st_mode)};
}

EntrySize sentEntry(int folderFd, const char* name, const struct stat& info) {
    if (staysHomeOnUpload(QFile::decodeName(name))) return {};
    if (S_ISDIR(info.st_mode)) return {0, true};
    if (S_ISREG(info.st_mode)) return {static_cast<quint64>(info.st_size), false};
    struct stat target;
    if (S_ISLNK(info.st_mode) && ::fstatat(folderFd, name, &target, 0) == 0 &&
        S_ISREG(target.st_mode))
        return {static_cast<quint64>(target.st_size), false};
    return {};
}

} // namespace

quint64 getSizeOfFileInBytes(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info;
    if (native.isEmpty() || ::lstat(native.constData(), &info) != 0) return 0;
    // A link to a folder is a link: only a real folder is walked.
    if (!S_ISDIR(info.st_mode)) return static_cast<quint64>(info.st_size);
    return sizeBelow(native.toStdString(), everyEntry).value_or(0);
}

std::optional<quint64> uploadSizeOfPath(const QString& path, const std::function<bool()>& stopped) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info;
    // A queued link is sent as what it leads to.
    if (native.isEmpty() || ::stat(native.constData(), &info) != 0) return 0;
    if (S_ISREG(info.st_mode)) return static_cast<quint64>(info.st_size);
    if (!S_ISDIR(info.st_mode)) return 0;
    return sizeBelow(native.toStdString(), sentEntry, stopped);
}

quint64 uploadSizeOfPath(const QString& path) {
    return uploadSizeOfPath(path, {}).value_or(0);
}

#else

quint64 getSizeOfFileInBytes(const QString& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path root = path.toStdWString();
    const fs::file_status status = fs::symlink_status(root, error);
    if (error || !fs::exists(status)) return 0;
    if (!fs::is_directory(status)) {
        const auto size = fs::file_size(root, error);
        return error ? 0 : static_cast<quint64>(size);
    }
    quint64 total = 0;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code sizeError;
        if (it->is_regular_file(sizeError)) total += it->file_size(sizeError);
    }
    return total;
}

#endif

} // namespace vantle
