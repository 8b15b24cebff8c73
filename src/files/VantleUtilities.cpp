#include "files/VantleUtilities.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

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
        u"jpg"_s,        u"jpeg"_s, u"gif"_s,     u"tiff"_s, u"tif"_s,  u"png"_s,  u"html"_s,
        u"htm"_s,        u"rtf"_s,  u"doc"_s,     u"bmp"_s,  u"docx"_s, u"xls"_s,  u"txt"_s,
        u"pdf"_s,        u"rtfd"_s, u"m4v"_s,     u"mp3"_s,  u"m4a"_s,  u"mov"_s,  u"mp4"_s,
        u"pages"_s,      u"key"_s,  u"numbers"_s, u"ppt"_s,  u"docx"_s, u"pptx"_s, u"xlsx"_s,
        u"webarchive"_s, u"c"_s,    u"cpp"_s,     u"m"_s,    u"mm"_s,   u"h"_s,    u"tex"_s,
        u"java"_s,       u"cs"_s,   u"wav"_s,     u"eml"_s,  u"pps"_s,  u"ppsx"_s};
    const QString extension = pathExtension(path).toLower();
    return !extension.isEmpty() && types.contains(extension);
}

const QStringList& VantleUtilities::getBundleTypes() {
    static const QStringList types = {
        u"app"_s,   u"pkg"_s,       u"nib"_s,          u"bundle"_s,  u"plugin"_s, u"component"_s,
        u"rtfd"_s,  u"dict"_s,      u"sparsebundle"_s, u"kext"_s,    u"menu"_s,   u"prefPane"_s,
        u"help"_s,  u"saver"_s,     u"widgetplugin"_s, u"wdgt"_s,    u"qtx"_s,    u"saver"_s,
        u"xcode"_s, u"xcodeproj"_s, u"pages"_s,        u"numbers"_s, u"key"_s};
    return types;
}

} // namespace vantle
