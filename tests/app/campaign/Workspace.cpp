#include "app/campaign/Workspace.h"

#include "support/harness/Program.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantle::campaign {
namespace {

constexpr qsizetype kPiece = 131'072;
constexpr qsizetype kSmall = 3'000;
constexpr qsizetype kLargest = 3 * kPiece + 777;
// Percent chances of the sizes of a file.
constexpr int kEmptyPercent = 10;
constexpr int kSmallPercent = 60;
constexpr int kMediumPercent = 85;
// Names on the phone are at most this many bytes.
constexpr qsizetype kLongestName = 255;
constexpr int kMaxFolderFiles = 3;
constexpr int kPercent = 100;
constexpr mode_t kPipeMode = 0600;
constexpr char kFirstPatternChar = 'A';
constexpr int kPatternChars = 26;

int percent(std::mt19937& random) {
    return std::uniform_int_distribution<int>(0, kPercent - 1)(random);
}

bool chance(std::mt19937& random, int inPercent) {
    return percent(random) < inPercent;
}

} // namespace

QString kindName(ItemKind kind) {
    switch (kind) {
    case ItemKind::File:
        return QStringLiteral("file");
    case ItemKind::EmptyFile:
        return QStringLiteral("empty file");
    case ItemKind::Folder:
        return QStringLiteral("folder");
    case ItemKind::LinkToFile:
        return QStringLiteral("link to a file");
    case ItemKind::LinkToFolder:
        return QStringLiteral("link to a folder");
    case ItemKind::LongName:
        return QStringLiteral("longest name");
    case ItemKind::Pipe:
        return QStringLiteral("named pipe");
    }
    return {};
}

Workspace::Workspace() {
    QDir(root()).mkpath(QStringLiteral("items"));
    QDir(root()).mkpath(QStringLiteral("targets"));
}

QByteArray Workspace::someBytes(std::mt19937& random, bool allowEmpty) {
    const int roll = percent(random);
    qsizetype size = 0;
    if (roll < kEmptyPercent && allowEmpty)
        size = 0;
    else if (roll < kSmallPercent)
        size = std::uniform_int_distribution<qsizetype>(1, kSmall)(random);
    else if (roll < kMediumPercent)
        size = std::uniform_int_distribution<qsizetype>(kSmall, kPiece + kSmall)(random);
    else
        size = std::uniform_int_distribution<qsizetype>(kPiece, kLargest)(random);
    const auto seed = static_cast<char>(
        kFirstPatternChar + std::uniform_int_distribution<int>(0, kPatternChars - 1)(random));
    return test::patterned(size, seed);
}

QString Workspace::makeFolder(const QString& path, std::mt19937& random) {
    const int files = std::uniform_int_distribution<int>(1, kMaxFolderFiles)(random);
    for (int i = 0; i < files; ++i)
        test::writeFile(path + QStringLiteral("/f%1.bin").arg(i), someBytes(random, true));
    if (chance(random, kPercent / 2))
        test::writeFile(path + QStringLiteral("/sub/deep.bin"), someBytes(random, true));
    // Links inside: to a file (sent as its bytes), to a folder and to the folder itself (left out).
    if (chance(random, kPercent / 3)) {
        const QString target = root() + QStringLiteral("/targets/") + QFileInfo(path).fileName() +
                               QStringLiteral("-inner.bin");
        test::writeFile(target, someBytes(random, false));
        QFile::link(target, path + QStringLiteral("/linked.bin"));
    }
    if (chance(random, kPercent / 3)) {
        const QString target = root() + QStringLiteral("/targets/") + QFileInfo(path).fileName() +
                               QStringLiteral("-dir");
        test::writeFile(target + QStringLiteral("/away.bin"), someBytes(random, false));
        QFile::link(target, path + QStringLiteral("/linkdir"));
    }
    if (chance(random, kPercent / 3)) QFile::link(path, path + QStringLiteral("/loop"));
    return path;
}

QString Workspace::make(ItemKind kind, int index, std::mt19937& random, const QString& name) {
    QString itemName = name.isEmpty() ? QStringLiteral("n%1.dat").arg(index) : name;
    if (kind == ItemKind::LongName && name.isEmpty()) {
        const QString tail = QStringLiteral("%1.dat").arg(index);
        itemName = QString(kLongestName - tail.size(), QLatin1Char('L')) + tail;
    }
    const QString path = root() + QStringLiteral("/items/") + itemName;
    const QString target = root() + QStringLiteral("/targets/") + itemName;
    switch (kind) {
    case ItemKind::File:
    case ItemKind::LongName:
        test::writeFile(path, someBytes(random, false));
        break;
    case ItemKind::EmptyFile:
        test::writeFile(path, {});
        break;
    case ItemKind::Folder:
        makeFolder(path, random);
        break;
    case ItemKind::LinkToFile:
        test::writeFile(target, someBytes(random, false));
        QFile::link(target, path);
        break;
    case ItemKind::LinkToFolder:
        makeFolder(target, random);
        QFile::link(target, path);
        break;
    case ItemKind::Pipe:
        ::mkfifo(QFile::encodeName(path).constData(), kPipeMode);
        {
            std::lock_guard lock(mPipesLock);
            mPipes << path;
        }
        break;
    }
    return path;
}

bool Workspace::change(const QString& path, std::mt19937& random) {
    const QFileInfo info(path);
    if (!info.isFile() || info.isSymLink()) return false;
    return test::writeFile(path, someBytes(random, true));
}

void Workspace::releasePipes() const {
    std::lock_guard lock(mPipesLock);
    for (const QString& pipe : mPipes) {
        // Opening without blocking succeeds only while a reader waits; closing gives it its end.
        const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
    }
}

} // namespace vantle::campaign
