#include "app/campaign/Tree.h"

#include "support/harness/Program.h"

#include <QFileInfo>

namespace vantle::campaign {

Tree treeAt(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return {};
    if (info.isDir()) return test::filesBelow(path);
    // A named pipe or a device has no bytes to compare, and reading one may block.
    if (!info.isFile()) return {};
    return {{QString(), test::readFile(path)}};
}

bool isStrictPrefix(const QByteArray& partial, const QByteArray& whole) {
    return partial.size() < whole.size() && whole.startsWith(partial);
}

} // namespace vantle::campaign
