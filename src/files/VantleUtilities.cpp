#include "files/VantleUtilities.h"

#include <QFileInfo>

namespace vantle {

const QString VantleUtilities::kMetadataFolderName = QStringLiteral("vantleMetadata");
const QString VantleUtilities::kThumbsFolderName = QStringLiteral("vantleThumbs");
const QString VantleUtilities::kThumbnailFileName = QStringLiteral("Thumbnail.tif");
const QString VantleUtilities::kPreviewFileName = QStringLiteral("Preview");

namespace {

const QString kThumbnailExtension = QStringLiteral("tif");
const QString kArchiveExtension = QStringLiteral("zip");
const QString kHtmlExtension = QStringLiteral("html");

QString lastComponent(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) return QString();
    if (slash == 0) return QStringLiteral("/");
    return path.left(slash);
}

QString join(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    if (folder.endsWith(QLatin1Char('/'))) return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString earlierLayoutPath(const QString& path, const QString& extension) {
    return join(join(folderOf(path), VantleUtilities::kThumbsFolderName),
                VantleUtilities::baseName(path) + QLatin1Char('.') + extension);
}

QString withFallBack(const QString& current, const QString& earlier, bool fallBack) {
    if (!fallBack || QFileInfo::exists(current)) return current;
    return earlier;
}

} // namespace

QString VantleUtilities::pathExtension(const QString& path) {
    const QString name = lastComponent(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) return QString();
    return name.mid(dot + 1);
}

QString VantleUtilities::baseName(const QString& path) {
    const QString name = lastComponent(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) return name;
    return name.left(dot);
}

QString VantleUtilities::metaDataPathForPath(const QString& path) {
    return join(join(folderOf(path), kMetadataFolderName), lastComponent(path));
}

QString VantleUtilities::thumbnailPathForPath(const QString& path, bool fallBack) {
    return withFallBack(join(metaDataPathForPath(path), kThumbnailFileName),
                        earlierLayoutPath(path, kThumbnailExtension), fallBack);
}

QString VantleUtilities::metaPathForPath(const QString& path, bool fallBack) {
    return withFallBack(
        join(metaDataPathForPath(path), kPreviewFileName),
        earlierLayoutPath(path, isiWorkFile(path) ? kArchiveExtension : kHtmlExtension), fallBack);
}

bool VantleUtilities::isiWorkFile(const QString& path) {
    static const QStringList types = {QStringLiteral("pages"), QStringLiteral("key"),
                                      QStringLiteral("numbers")};
    return types.contains(pathExtension(path).toLower());
}

bool VantleUtilities::isOpenableFile(const QString& path) {
    static const QStringList types = {
        "jpg",  "jpeg",       "gif",  "tiff",  "tif", "png",     "html", "htm",  "rtf",
        "doc",  "bmp",        "docx", "xls",   "txt", "pdf",     "rtfd", "m4v",  "mp3",
        "m4a",  "mov",        "mp4",  "pages", "key", "numbers", "ppt",  "docx", "pptx",
        "xlsx", "webarchive", "c",    "cpp",   "m",   "mm",      "h",    "tex",  "java",
        "cs",   "wav",        "eml",  "pps",   "ppsx"};
    const QString extension = pathExtension(path).toLower();
    return !extension.isEmpty() && types.contains(extension);
}

const QStringList& VantleUtilities::getBundleTypes() {
    static const QStringList types = {
        "app",   "pkg",       "nib",          "bundle",  "plugin", "component",
        "rtfd",  "dict",      "sparsebundle", "kext",    "menu",   "prefPane",
        "help",  "saver",     "widgetplugin", "wdgt",    "qtx",    "saver",
        "xcode", "xcodeproj", "pages",        "numbers", "key"};
    return types;
}

} // namespace vantle
