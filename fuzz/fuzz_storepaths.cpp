// Phone paths against a fixed folder with links planted in it: an accepted path must be the root or
// lie strictly below it, and reach no link (a removal may name one as its last name).
#include "transfer/StorePaths.h"

#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace {

using namespace Qt::StringLiterals;

constexpr int kUseCount = 3;
constexpr std::uint8_t kWindowsSafeBit = 0x4;
constexpr std::uint8_t kUtf16Bit = 0x8;

std::filesystem::path gFolder;

void removeFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(gFolder, ignored); // never follows the links
}

void plant(const QString& target, const QString& link) {
    if (!QFile::link(target, link)) __builtin_trap();
}

// FOLDER/root holds: file, dir/sub/, and links out of it in several spellings.
QString makeRoot() {
    char pattern[] = "/tmp/fuzz_storepaths.XXXXXX";
    if (!::mkdtemp(pattern)) __builtin_trap();
    gFolder = pattern;
    std::atexit(removeFolder);
    const QString folder = QString::fromLocal8Bit(pattern);
    const QString root = folder + u"/root"_s;
    if (!QDir().mkpath(root + u"/dir/sub"_s) || !QDir().mkpath(folder + u"/outside"_s))
        __builtin_trap();
    QFile file(root + u"/file"_s);
    if (!file.open(QIODevice::WriteOnly)) __builtin_trap();
    plant(folder + u"/outside"_s, root + u"/link"_s);
    plant(u".."_s, root + u"/up"_s);
    plant(u"../.."_s, root + u"/dir/inner"_s);
    plant(u"."_s, root + u"/self"_s);
    plant(u"/"_s, root + u"/abs"_s);
    plant(folder + u"/outside/missing"_s, root + u"/dangling"_s);
    return root;
}

bool isLink(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISLNK(status.st_mode);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString root = makeRoot();
    if (size == 0) return 0;
    const auto use = static_cast<vantle::PathUse>(data[0] % kUseCount);
    const auto rule =
        (data[0] & kWindowsSafeBit) ? vantle::PhoneNames::WindowsSafe : vantle::PhoneNames::AsSent;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const auto length = static_cast<qsizetype>(size - 1);
    const QString phonePath =
        (data[0] & kUtf16Bit)
            ? QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes), length / 2)
            : QString::fromUtf8(bytes, length);

    const vantle::Result<QString> resolved = vantle::resolveInFolder(root, phonePath, use, rule);
    if (!resolved) {
        if (resolved.error().isEmpty()) __builtin_trap();
        return 0;
    }
    const QString& path = *resolved;
    if (path != root && !path.startsWith(root + u'/')) __builtin_trap();
    if (QDir::cleanPath(path) != path) __builtin_trap();
    for (QString step = path; step != root; step = step.left(step.lastIndexOf(u'/'))) {
        const bool removableLink = use == vantle::PathUse::Remove && step == path;
        if (isLink(step) && !removableLink) __builtin_trap();
    }
    return 0;
}
