#include "PrivateNamespace.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vantle::bench {
namespace {

constexpr char kSystemResolverFile[] = "/etc/resolv.conf";
// The longest wait and the most tries the system's resolver allows: a question nobody answers
// holds the lookup for minutes, far past any measurement.
constexpr char kPatientLoopbackResolver[] = "nameserver 127.0.0.1\n"
                                            "options timeout:30 attempts:5\n";

Error systemError(const QString& what) {
    return Error{what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno))};
}

bool writeWhole(const char* path, const QByteArray& text) {
    const int file = ::open(path, O_WRONLY | O_CLOEXEC);
    if (file < 0) return false;
    const bool written = ::write(file, text.constData(), size_t(text.size())) == text.size();
    ::close(file);
    return written;
}

Result<void> mapToRoot(uid_t user, gid_t group) {
    // Groups may be mapped only once setgroups is refused.
    if (!writeWhole("/proc/self/setgroups", "deny"))
        return systemError(QStringLiteral("refusing setgroups"));
    if (!writeWhole("/proc/self/uid_map", QByteArray("0 ") + QByteArray::number(user) + " 1"))
        return systemError(QStringLiteral("mapping the user"));
    if (!writeWhole("/proc/self/gid_map", QByteArray("0 ") + QByteArray::number(group) + " 1"))
        return systemError(QStringLiteral("mapping the group"));
    return {};
}

Result<void> bringLoopbackUp() {
    const int control = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (control < 0) return systemError(QStringLiteral("a control socket"));
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ::ioctl(control, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
    up = up && ::ioctl(control, SIOCSIFFLAGS, &request) == 0;
    const Result<void> result = up ? Result<void>() : systemError(QStringLiteral("loopback up"));
    ::close(control);
    return result;
}

} // namespace

Result<void> enterPrivateNamespace() {
    const uid_t user = ::getuid();
    const gid_t group = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS | CLONE_NEWNET) != 0)
        return systemError(QStringLiteral("unshare"));
    if (const Result<void> mapped = mapToRoot(user, group); !mapped) return mapped;
    // What is mounted here stays here.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return systemError(QStringLiteral("making mounts private"));
    return bringLoopbackUp();
}

Result<void> useLoopbackResolver(const QString& folder) {
    const QString path = folder + QStringLiteral("/resolv.conf");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(kPatientLoopbackResolver) < 0 ||
        !file.flush())
        return Error{QStringLiteral("writing ") + path};
    file.close();
    if (::mount(QFile::encodeName(path).constData(), kSystemResolverFile, nullptr, MS_BIND,
                nullptr) != 0)
        return systemError(QStringLiteral("binding a resolver file"));
    return {};
}

TmpfsMount::TmpfsMount(const QString& folder, qint64 bytes) : mFolder(folder) {
    const QByteArray options = QByteArray("size=") + QByteArray::number(bytes);
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                options.constData()) != 0)
        mError = systemError(QStringLiteral("mounting a tmpfs")).text;
}

TmpfsMount::~TmpfsMount() {
    // Gone before its folder is removed with the rest of the work area.
    if (mError.isEmpty()) ::umount2(QFile::encodeName(mFolder).constData(), MNT_DETACH);
}

} // namespace vantle::bench
