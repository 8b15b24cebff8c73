#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace vantle::campaign {

// The files of an item, relative path → bytes; a single file has the one key "".
using Tree = QMap<QString, QByteArray>;

// What an item is on disk as the upload sees it: a file's bytes (a link to a file counts as its
// target's), or every file below a folder (links to folders inside it are left out, so are
// loops); empty when nothing is there.
Tree treeAt(const QString& path);

// True when `partial` is a strict beginning of `whole` (shorter, and equal as far as it goes).
bool isStrictPrefix(const QByteArray& partial, const QByteArray& whole);

} // namespace vantle::campaign
