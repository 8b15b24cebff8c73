#pragma once

#include "app/campaign/Tree.h"

#include <QStringList>
#include <QTemporaryDir>
#include <mutex>
#include <random>

namespace vantle::campaign {

// The kinds of item a user drops on the queue.
enum class ItemKind {
    File,         // a few bytes up to a few pieces
    EmptyFile,    // 0 bytes
    Folder,       // files, a subfolder, links to a file, to a folder and to itself inside
    LinkToFile,   // sent as its target's bytes under the link's name
    LinkToFolder, // sent as the folder it points to
    LongName,     // a name of the longest length the phone takes: no unique name is left for it
    Pipe,         // a named pipe: nothing to read until a writer comes
};

QString kindName(ItemKind kind);

// The user's own files for one run, in a temporary folder: every item is made from the run's
// random source, so a seed makes the same files again.
class Workspace {
public:
    Workspace();
    QString root() const { return mDir.path(); }

    // Makes a new item of `kind` named after `index` (or `name` when given); its path.
    QString make(ItemKind kind, int index, std::mt19937& random, const QString& name = {});
    // Writes new bytes over a file item; false when it is not a plain file.
    bool change(const QString& path, std::mt19937& random);
    // Lets every reader waiting on a named pipe of the workspace go on (with nothing to read);
    // any thread.
    void releasePipes() const;

private:
    QByteArray someBytes(std::mt19937& random, bool allowEmpty);
    QString makeFolder(const QString& path, std::mt19937& random);

    QTemporaryDir mDir;
    mutable std::mutex mPipesLock;
    QStringList mPipes;
};

} // namespace vantle::campaign
