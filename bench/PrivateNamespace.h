#pragma once

// The benchmark's own corner of the machine: new user, mount and network namespaces, in which it
// may mount a small file system and answer the process's name lookups without touching the
// machine's own files or network.
#include "platform/Result.h"

#include <QString>

namespace vantle::bench {

// Enters new user, mount and network namespaces (as root inside, as `unshare -rmn` makes it),
// with mounts private to them and loopback up. Only while the process has one thread.
Result<void> enterPrivateNamespace();

// From now on this process's name lookups ask 127.0.0.1:53, patiently: a resolver file written
// in `folder` is bound over /etc/resolv.conf inside the namespace.
Result<void> useLoopbackResolver(const QString& folder);

// A tmpfs of `bytes` on `folder` (which exists) for as long as this lives.
class TmpfsMount {
public:
    TmpfsMount(const QString& folder, qint64 bytes);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    // Empty once mounted.
    const QString& error() const { return mError; }

private:
    QString mFolder;
    QString mError;
};

} // namespace vantle::bench
