#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace vantle::test {

// Writes `data` to `path`, making its folders first.
bool writeFile(const QString& path, const QByteArray& data);
// The file's contents; "<missing>" when it cannot be read.
QByteArray readFile(const QString& path);
// Every file below `root`, relative path → contents.
QMap<QString, QByteArray> filesBelow(const QString& root);

} // namespace vantle::test
