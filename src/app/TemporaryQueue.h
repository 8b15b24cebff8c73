#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace vantle {

// The program's own folder for files handed over to be queued and then deleted, such as print
// output: each hand-off goes into a drop folder of its own, which goes once it is empty.
class TemporaryQueue {
public:
    static const QString kFolderName;
    static const QString kPrintHandOffPrefix;

    enum class Cleanup {
        NotInQueueFolder, // left alone: not a hand-off of ours
        Removed,
        Failed,
    };

    // The folder (made on demand, private to the user) with links resolved; none when the
    // platform gives no data folder or it cannot be made.
    static std::optional<QString> queueDirectoryPath();
    // Moves the paths into a new drop folder under their own names; the new paths of those that
    // moved. Those that could not be moved stay where they are.
    static QStringList moveIn(const QStringList& paths);
    // Deletes `path` (a file or a whole folder) when it is an item of a drop folder, then the drop
    // folder once it is empty. Anything elsewhere is never touched.
    static Cleanup removeIfInTempQueue(const QString& path);
    // Whether dropped paths are print output handed to the program.
    static bool isPrintHandOff(const QStringList& paths);
};

} // namespace vantle
