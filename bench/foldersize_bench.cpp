// The size of a generated tree of small files by getSizeOfFileInBytes beside `du -sb`.
#include "files/FileSize.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using namespace vantle;

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 1000;
constexpr int kMaxFileBytes = 300;
constexpr int kRepeats = 3;
constexpr int kDuTimeoutMs = 120000;

bool makeTree(const QString& root) {
    const QByteArray bytes(kMaxFileBytes, 'x');
    for (int folder = 0; folder < kFolders; ++folder) {
        const QString folderPath = QStringLiteral("%1/d%2/sub").arg(root).arg(folder);
        if (!QDir().mkpath(folderPath)) return false;
        const QByteArray base = QFile::encodeName(folderPath);
        for (int file = 0; file < kFilesPerFolder; ++file) {
            const QByteArray path = base + "/f" + QByteArray::number(file);
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd < 0) return false;
            const ssize_t written = ::write(fd, bytes.constData(), (folder + file) % kMaxFileBytes);
            ::close(fd);
            if (written < 0) return false;
        }
    }
    return true;
}

template <class Work> double bestSeconds(Work work) {
    double best = 0;
    for (int i = 0; i < kRepeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        const double seconds = timer.nsecsElapsed() / 1e9;
        best = i == 0 ? seconds : std::min(best, seconds);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.filePath(u"tree"_s);
    if (!dir.isValid() || !makeTree(root)) {
        std::printf("could not make the tree\n");
        return 1;
    }
    const int files = kFolders * kFilesPerFolder;

    quint64 ours = getSizeOfFileInBytes(root); // warms the cache for both
    QByteArray duOutput;
    const auto runDu = [&] {
        QProcess du;
        du.start(QStringLiteral("du"), {QStringLiteral("-sb"), root});
        du.waitForFinished(kDuTimeoutMs);
        duOutput = du.readAllStandardOutput();
    };
    runDu();
    const double oursSeconds = bestSeconds([&] { ours = getSizeOfFileInBytes(root); });
    const double duSeconds = bestSeconds(runDu);
    std::printf("files: %d\n", files);
    std::printf("getSizeOfFileInBytes: %llu bytes in %.3f s\n",
                static_cast<unsigned long long>(ours), oursSeconds);
    std::printf("du -sb: %s", duOutput.constData());
    std::printf("du -sb time: %.3f s; ratio %.2f\n", duSeconds, oursSeconds / duSeconds);
    std::printf("RESULT foldersize_s=%.3f du_s=%.3f files=%d\n", oursSeconds, duSeconds, files);
    return 0;
}
