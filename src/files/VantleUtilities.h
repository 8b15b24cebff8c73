#pragma once

#include <QString>
#include <QStringList>

namespace vantle {

// Where the companions of a stored file live on disk, and which extensions mean what.
class VantleUtilities {
public:
    // One folder per directory holding a folder per file (current layout) ...
    static const QString kMetadataFolderName;
    // ... and the flat folder of the earlier layout, still read.
    static const QString kThumbsFolderName;
    static const QString kThumbnailFileName;
    static const QString kPreviewFileName;

    static QString metaDataPathForPath(const QString& path);
    static QString thumbnailPathForPath(const QString& path, bool fallBack);
    static QString metaPathForPath(const QString& path, bool fallBack);

    static bool isiWorkFile(const QString& path);
    static bool isOpenableFile(const QString& path);
    static const QStringList& getBundleTypes();

    // The extension as the platform reads it: after the last dot of the last component, empty for
    // a name that only starts with a dot. Case kept.
    static QString pathExtension(const QString& path);
    // The last component without that extension.
    static QString baseName(const QString& path);
};

} // namespace vantle
