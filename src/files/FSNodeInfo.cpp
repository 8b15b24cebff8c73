#include "files/FSNodeInfo.h"

#include "files/FileSize.h"
#include "files/NamedImages.h"
#include "files/VantleUtilities.h"
#include "platform/BackgroundWork.h"
#include "platform/DesktopServices.h"
#include "platform/MainThread.h"
#include "platform/NotificationCenter.h"
#include "support/ParoxLog.h"

#include <QAbstractFileIconProvider>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QIcon>
#include <QPainter>
#include <QPointer>
#include <deque>

namespace vantle {

const QString FSNodeInfo::kInfoChangedNotification = QStringLiteral("InfoChanged");

namespace {

constexpr quint64 kBytesPerKilobyte = 1024;
constexpr quint64 kKilobytesPerMegabyte = 1024;
// Tenths of a megabyte, counted in whole kilobytes the way the size texts always have.
constexpr quint64 kKilobytesPerTenth = 102;
constexpr quint64 kTenthsPerUnit = 10;
const QString kSizePending = QStringLiteral("...");
constexpr int kPlatformIconPoints = 32;
constexpr int kPlatformPreviewPoints = 100;

struct NodeCache {
    std::mutex lock;
    QHash<QString, FSNodeInfoPtr> nodes;
};

// Never destroyed: nodes outlive everything, including folder sizes still measured at exit.
NodeCache& nodeCache() {
    static auto* cache = new NodeCache;
    return *cache;
}

// A huge folder holds up only one of them.
constexpr int kFolderSizeWorkers = 2;

// Made on first use as a child of the application, on the main thread, and gone with it.
QPointer<BackgroundWork>& folderSizeWork() {
    static QPointer<BackgroundWork> work;
    return work;
}

// Serializes every lookup of a file's icon from the platform.
std::mutex gIconGraphicLock;

QImage drawnInto(const QImage& source, int points) {
    QImage image = NamedImages::blankImage(points);
    if (source.isNull()) return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QRectF(0, 0, points, points), source);
    return image;
}

// Row icons by the image they are drawn from: the nodes of one kind of file share one image
// instead of holding a copy each. Bounded, for platforms that give every file an icon of its own.
constexpr qsizetype kMaxSharedIcons = 512;

QImage sharedRowIcon(const QImage& source) {
    static std::mutex lock;
    static QHash<qint64, QImage> drawn;
    const qint64 key = source.isNull() ? 0 : source.cacheKey();
    std::lock_guard guard(lock);
    if (const auto found = drawn.constFind(key); found != drawn.constEnd()) return *found;
    if (drawn.size() >= kMaxSharedIcons) drawn.clear();
    const QImage image = drawnInto(source, NamedImages::kIconPoints);
    drawn.insert(key, image);
    return image;
}

QImage platformIconForFile(const QString& path) {
    // Icons need the GUI application and its thread; elsewhere there is no platform icon.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) || !isMainThread()) return {};
    static QAbstractFileIconProvider provider;
    // Theme icons are shared by name, so one image per icon serves every file that has it.
    static QHash<qint64, QImage> images;
    const QIcon icon = provider.icon(QFileInfo(path));
    if (icon.isNull()) return {};
    if (const auto found = images.constFind(icon.cacheKey()); found != images.constEnd())
        return *found;
    if (images.size() >= kMaxSharedIcons) images.clear();
    const QImage image =
        icon.pixmap(QSize(kPlatformIconPoints, kPlatformIconPoints), NamedImages::kIconScale)
            .toImage();
    images.insert(icon.cacheKey(), image);
    return image;
}

// Platform icons can only be looked up on the main thread. A node's lookup waits for a later turn
// of the main loop, where the lookups run in short slices between other events: thousands of new
// nodes at once would otherwise hold up the window.
constexpr qint64 kIconSliceMs = 4;

struct IconLookups {
    std::mutex lock; // nodes may be made on any thread
    std::deque<std::weak_ptr<FSNodeInfo>> waiting;
    bool scheduled = false;
};

IconLookups& iconLookups() {
    static auto* lookups = new IconLookups;
    return *lookups;
}

} // namespace

std::shared_ptr<FSNodeInfo> FSNodeInfo::nodeWithPath(const QString& path,
                                                     const std::optional<QString>& dateAdded) {
    NodeCache& cache = nodeCache();
    FSNodeInfoPtr node;
    {
        std::lock_guard guard(cache.lock);
        node = cache.nodes.value(path);
    }
    if (!node) {
        if (!dateAdded) return nullptr;
        // Made outside the lock: creation reads the disk and the platform's icons.
        FSNodeInfoPtr made = create(path);
        if (!made) return nullptr;
        std::lock_guard guard(cache.lock);
        auto it = cache.nodes.constFind(path);
        if (it != cache.nodes.constEnd()) {
            node = *it;
        } else {
            cache.nodes.insert(path, made);
            made->setDateAdded(*dateAdded);
            return made;
        }
    }
    if (dateAdded) {
        node->setReplace(false);
        node->setMakeUnique(false);
        node->setUploading(false);
        node->setDateAdded(*dateAdded);
    }
    return node;
}

FSNodeInfo::FSNodeInfo(Token, const QString& path) : mPath(path), mOriginalFile(path) {
    const QFileInfo info(path);
    mExists = info.exists();
    mIsDirectory = mExists && info.isDir();
    mIsLink = info.isSymLink();
    mIsReadable = info.isReadable();
}

std::shared_ptr<FSNodeInfo> FSNodeInfo::create(const QString& path) {
    if (path.isEmpty()) return nullptr;
    auto node = std::make_shared<FSNodeInfo>(Token{}, path);
    if (!node->mExists) return nullptr;
    const QImage icon = sharedRowIcon(
        genericIconForType(VantleUtilities::pathExtension(path).toUpper(), node->isDirectory()));
    {
        std::lock_guard guard(node->mLock);
        node->mIcon = icon;
    }
    if (!node->mIsDirectory) {
        node->mQLThreadRunning = true;
        scheduleIconLookup(node);
    }
    return node;
}

void FSNodeInfo::scheduleIconLookup(std::weak_ptr<FSNodeInfo> node) {
    IconLookups& lookups = iconLookups();
    std::lock_guard guard(lookups.lock);
    lookups.waiting.push_back(std::move(node));
    if (lookups.scheduled) return;
    lookups.scheduled = true;
    runOnMainThread(runIconLookups);
}

void FSNodeInfo::runIconLookups() {
    IconLookups& lookups = iconLookups();
    QElapsedTimer slice;
    slice.start();
    for (;;) {
        FSNodeInfoPtr node;
        {
            std::lock_guard guard(lookups.lock);
            if (lookups.waiting.empty()) {
                lookups.scheduled = false;
                return;
            }
            if (slice.elapsed() >= kIconSliceMs) break;
            node = lookups.waiting.front().lock();
            lookups.waiting.pop_front();
        }
        if (node) node->getQLPreviewOnThread();
    }
    runOnMainThread(runIconLookups);
}

QString FSNodeInfo::getSizeText(quint64 bytes) {
    const auto kilobytes =
        static_cast<quint64>(static_cast<double>(bytes) / static_cast<double>(kBytesPerKilobyte));
    if (kilobytes == 0)
        return QCoreApplication::translate("vantle::FSNodeInfo", "%1 Bytes").arg(bytes);
    if (kilobytes < kKilobytesPerMegabyte)
        return QCoreApplication::translate("vantle::FSNodeInfo", "%1 KB").arg(kilobytes);
    const quint64 megabytes = kilobytes / kKilobytesPerMegabyte;
    const quint64 tenths = (kilobytes % kKilobytesPerMegabyte) / kKilobytesPerTenth;
    if (tenths == 0)
        return QCoreApplication::translate("vantle::FSNodeInfo", "%1 MB").arg(megabytes);
    if (tenths == kTenthsPerUnit)
        return QCoreApplication::translate("vantle::FSNodeInfo", "%1 MB").arg(megabytes + 1);
    return QCoreApplication::translate("vantle::FSNodeInfo", "%1.%2 MB").arg(megabytes).arg(tenths);
}

QString FSNodeInfo::sizePendingText() {
    return kSizePending;
}

QImage FSNodeInfo::genericIconForType(const QString& type, bool isFolder) {
    QString name = QStringLiteral("iconblank");
    if (type == QLatin1String("APP"))
        name = QStringLiteral("iconblank");
    else if (isFolder)
        name = QStringLiteral("iconfolder");
    else if (type == QLatin1String("DOC"))
        name = QStringLiteral("icondoc");
    else if (type == QLatin1String("JPG") || type == QLatin1String("JPEG"))
        name = QStringLiteral("iconjpg");
    else if (type == QLatin1String("PDF"))
        name = QStringLiteral("iconpdf");
    else if (type == QLatin1String("RTF"))
        name = QStringLiteral("iconrtf");
    else if (type == QLatin1String("TXT"))
        name = QStringLiteral("icontxt");
    return NamedImages::imageNamed(name);
}

QImage FSNodeInfo::iconImageForPath(const QString& path, bool isDirectory) {
    if (isDirectory) return NamedImages::imageNamed(QStringLiteral("iconfolder"));
    QImage image;
    {
        std::lock_guard guard(gIconGraphicLock);
        image = imageWithPreviewOfFileAtPath(
            path, QSize(kPlatformPreviewPoints, kPlatformPreviewPoints), false);
    }
    // Desktops without an icon theme supply nothing; a blank row icon would hide what the file is,
    // so our own artwork for its type stands in.
    if (image.isNull())
        image = genericIconForType(VantleUtilities::pathExtension(path).toUpper(),
                                   QFileInfo(path).isDir());
    return image;
}

QImage FSNodeInfo::imageWithPreviewOfFileAtPath(const QString& path, QSize, bool) {
    if (path.isEmpty()) return {};
    return platformIconForFile(path);
}

QString FSNodeInfo::formatDate(const QDateTime&) {
    return QString();
}

QString FSNodeInfo::lastPathComponent() const {
    return QFileInfo(mPath).fileName();
}

bool FSNodeInfo::isDirectory() const {
    return mIsDirectory && !isBundle();
}

bool FSNodeInfo::isBundle() const {
    return mIsDirectory &&
           VantleUtilities::getBundleTypes().contains(VantleUtilities::pathExtension(mPath));
}

QString FSNodeInfo::dateAdded() const {
    std::lock_guard guard(mLock);
    return mDateAdded;
}

void FSNodeInfo::setDateAdded(const QString& date) {
    std::lock_guard guard(mLock);
    mDateAdded = date;
}

QString FSNodeInfo::sizeString() {
    {
        std::lock_guard guard(mLock);
        if (mSizeString) return *mSizeString;
    }
    return getSizeString();
}

QString FSNodeInfo::getSizeString() {
    if (mIsDirectory && mExists) {
        bool idle = false;
        if (mSizeThreadRunning.compare_exchange_strong(idle, true)) measureFolderSize();
        return kSizePending;
    }
    // What an upload of the row sends: a link's row tells the size of the file it leads to.
    const QString text = getSizeText(uploadSizeOfPath(mPath));
    std::lock_guard guard(mLock);
    mSizeString = text;
    return text;
}

void FSNodeInfo::measureFolderSize() {
    // The workers belong to the main thread.
    if (!isMainThread())
        return runOnMainThread([self = shared_from_this()] { self->measureFolderSize(); });
    QPointer<BackgroundWork>& work = folderSizeWork();
    if (!work && QCoreApplication::instance())
        work = new BackgroundWork(kFolderSizeWorkers, QCoreApplication::instance());
    const bool started =
        work && work->runThenCallback([path = mPath] { return folderSizeText(path); },
                                      [self = shared_from_this()](const QString& text) {
                                          self->updateStatusTextWithSize(text);
                                      });
    if (!started) mSizeThreadRunning = false;
}

bool FSNodeInfo::stopFolderSizes(std::chrono::milliseconds limit) {
    const QPointer<BackgroundWork>& work = folderSizeWork();
    return !work || work->shutDown(limit);
}

QString FSNodeInfo::folderSizeText(const QString& path) {
    ParoxLog("findFolderSizeOnThread starting: %@", path);
    const QString text = getSizeText(uploadSizeOfPath(path));
    ParoxLog("findFolderSizeOnThread finished: %@", path);
    return text;
}

void FSNodeInfo::updateStatusTextWithSize(const QString& sizeText) {
    {
        std::lock_guard guard(mLock);
        mSizeString = sizeText;
    }
    // Cleared only once the text is in, so a draw in between can't start a second computation.
    mSizeThreadRunning = false;
    NotificationCenter::defaultCenter().post(kInfoChangedNotification,
                                             QVariant::fromValue(shared_from_this()));
}

QImage FSNodeInfo::iconImage() const {
    std::lock_guard guard(mLock);
    return mIcon;
}

QImage FSNodeInfo::getIconImageOfSize(QSize) const {
    if (mExists) return iconImageForPath(mPath, isDirectory());
    return genericIconForType(QStringLiteral("TXT"), false);
}

void FSNodeInfo::getQLPreviewOnThread() {
    const QImage image = sharedRowIcon(
        getIconImageOfSize(QSize(NamedImages::kIconPoints, NamedImages::kIconPoints)));
    runOnMainThread([self = shared_from_this(), image] { self->updateIcon(image); });
    mQLThreadRunning = false;
}

void FSNodeInfo::updateIcon(const QImage& image) {
    {
        std::lock_guard guard(mLock);
        mIcon = image;
    }
    NotificationCenter::defaultCenter().post(kInfoChangedNotification, QVariant::fromValue(image));
}

void FSNodeInfo::revealFile() const {
    revealPath(mOriginalFile);
}

int FSNodeInfo::byDate(const FSNodeInfo& other) const {
    int order = QString::compare(dateAdded(), other.dateAdded());
    if (order == 0) order = QString::compare(mPath, other.absolutePath());
    return (order > 0) - (order < 0);
}

std::shared_ptr<FSNodeInfo> FSNodeInfo::copy() const {
    return nodeWithPath(mPath, std::nullopt);
}

} // namespace vantle
