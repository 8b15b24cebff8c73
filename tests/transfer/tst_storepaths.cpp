// The path rules: whatever the phone names stays inside its folder and never goes through a link.
#include "transfer/DownloadStore.h"
#include "transfer/StorePaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace vantle;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(vantle::PathUse)

namespace {

bool isLink(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISLNK(status.st_mode);
}

bool makeFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

mode_t permissions(const QString& path) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0) return 0;
    return status.st_mode & 0777;
}

} // namespace

class StorePathsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void hostilePaths_data();
    void hostilePaths();
    void linkAsLastName();
    void rootAndCollapsing();
    void replacementsTouchOnlyThePhonePart();
    void uniqueNames();
    void uniqueNamesAreBounded();
    void privateFolder();
    void privateFolderRefusesWhatIsNotOurs();
    void storeFolder();
    void copyThenRenameShowsOnlyAWholeItem();
    void moveAcrossFileSystemsNeedsRoomFirst();

private:
    std::unique_ptr<QTemporaryDir> mBase;
    QString mRoot;    // the store, with characters the replacements would change
    QString mOutside; // what no phone path may reach
};

// root/ link → outside, dir/inner → ../.. (outside the root), file, lastlink → outside/secret,
// dangling → a missing name outside.
void StorePathsTest::init() {
    mBase = std::make_unique<QTemporaryDir>();
    QVERIFY(mBase->isValid());
    mRoot = mBase->filePath(u"store:?root"_s);
    mOutside = mBase->filePath(u"outside"_s);
    QVERIFY(QDir().mkpath(mRoot + u"/dir"_s));
    QVERIFY(QDir().mkpath(mOutside));
    QVERIFY(makeFile(mOutside + u"/secret"_s));
    QVERIFY(makeFile(mRoot + u"/file"_s));
    QVERIFY(QFile::link(mOutside, mRoot + u"/link"_s));
    QVERIFY(QFile::link(u"../.."_s, mRoot + u"/dir/inner"_s));
    QVERIFY(QFile::link(mOutside + u"/secret"_s, mRoot + u"/lastlink"_s));
    QVERIFY(QFile::link(mOutside + u"/missing"_s, mRoot + u"/dangling"_s));
}

void StorePathsTest::hostilePaths_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("refused");
    const QString longName(4096, u'a');
    QString longPath;
    while (longPath.size() <= kMaxPhonePathBytes)
        longPath += u"/abcdefgh"_s;
    const QChar loneSurrogate(char16_t(0xD800));

    QTest::newRow("..") << u".."_s << true;
    QTest::newRow("../x") << u"../x"_s << true;
    QTest::newRow("/..") << u"/.."_s << true;
    QTest::newRow("/../x") << u"/../x"_s << true;
    QTest::newRow("a/../../x") << u"a/../../x"_s << true;
    QTest::newRow("x/..") << u"x/.."_s << true;
    QTest::newRow("./../x") << u"./../x"_s << true;
    QTest::newRow("dir/./../../x") << u"dir/./../../x"_s << true;
    QTest::newRow("NUL") << QString(u"a" + QChar(u'\0') + u"/../../x") << true;
    QTest::newRow("newline") << u"a\nb"_s << true;
    QTest::newRow("tab") << u"\t"_s << true;
    QTest::newRow("0x1f") << QString(QChar(char16_t(0x1F))) << true;
    QTest::newRow("DEL") << QString(u"x" + QChar(char16_t(0x7F))) << true;
    QTest::newRow("4096-byte name") << longName << true;
    QTest::newRow("256-byte name") << QString(256, u'b') << true;
    QTest::newRow("256 bytes of UTF-8") << QString(128, QChar(char16_t(0xE9))) << true;
    QTest::newRow("path over 4096 bytes") << longPath << true;
    QTest::newRow("lone surrogate") << QString(u"a" + loneSurrogate) << true;
    QTest::newRow("link/x") << u"link/x"_s << true;
    QTest::newRow("link/secret") << u"/link/secret"_s << true;
    QTest::newRow("link/..") << u"link/.."_s << true;
    QTest::newRow("dir/inner/outside") << u"dir/inner/outside/secret"_s << true;
    QTest::newRow("file/x") << u"file/x"_s << true;
    QTest::newRow("C:x") << u"C:x"_s << false;
    QTest::newRow("backslashes") << u"x\\..\\..\\y"_s << false;
    QTest::newRow("/etc/passwd") << u"/etc/passwd"_s << false;
    QTest::newRow("...") << u"..."_s << false;
    QTest::newRow(" .. ") << u" .. "_s << false;
    QTest::newRow("..a") << u"dir/..a"_s << false;
    QTest::newRow("%2e%2e") << u"%2e%2e/x"_s << false;
    QTest::newRow("two-dot leader") << QString(QChar(char16_t(0x2025)) + u"/x") << false;
    QTest::newRow("255-byte name") << QString(255, u'c') << false;
    QTest::newRow("|<>?*\":") << u"|<>?*\":"_s << false;
}

// Every use either refuses or yields a path strictly inside the root that reaches no link.
void StorePathsTest::hostilePaths() {
    QFETCH(QString, path);
    QFETCH(bool, refused);
    for (const PathUse use : {PathUse::Read, PathUse::Write, PathUse::Remove}) {
        for (const PhoneNames rule : {PhoneNames::AsSent, PhoneNames::WindowsSafe}) {
            const Result<QString> resolved = resolveInFolder(mRoot, path, use, rule);
            QCOMPARE(!resolved.ok(), refused);
            if (!resolved) {
                QVERIFY(!resolved.error().isEmpty());
                continue;
            }
            QVERIFY2(resolved->startsWith(mRoot + u'/'), qPrintable(*resolved));
            QCOMPARE(QDir::cleanPath(*resolved), *resolved);
            for (QString step = *resolved; step != mRoot; step = QFileInfo(step).path())
                QVERIFY2(!isLink(step), qPrintable(step));
        }
    }
}

void StorePathsTest::linkAsLastName() {
    for (const QString& name : {u"link"_s, u"/lastlink/"_s, u"dangling"_s, u"dir/inner"_s}) {
        QVERIFY(!resolveInFolder(mRoot, name, PathUse::Read));
        QVERIFY(!resolveInFolder(mRoot, name, PathUse::Write));
        const Result<QString> removal = resolveInFolder(mRoot, name, PathUse::Remove);
        QVERIFY2(removal.ok(), qPrintable(removal.error()));
        QVERIFY(isLink(*removal));
        QVERIFY(QFileInfo(*removal).path() == mRoot ||
                QFileInfo(*removal).path() == mRoot + u"/dir"_s);
    }
}

void StorePathsTest::rootAndCollapsing() {
    for (const QString& root : {u""_s, u"/"_s, u"//"_s, u"/./"_s, u"."_s})
        QCOMPARE(*resolveInFolder(mRoot, root, PathUse::Read), mRoot);
    QCOMPARE(*resolveInFolder(mRoot + u"/"_s, u"a//b///./c/"_s, PathUse::Write),
             mRoot + u"/a/b/c"_s);
    QCOMPARE(*resolveInFolder(mRoot, u"/etc/x"_s, PathUse::Read), mRoot + u"/etc/x"_s);
    QVERIFY(!resolveInFolder(QString(), u"x"_s, PathUse::Read));
}

void StorePathsTest::replacementsTouchOnlyThePhonePart() {
    QCOMPARE(removeDisallowedCharsFromPath(u"C:x|<>?*\"y"_s), u"C_x______y"_s);
    QCOMPARE(removeBackslashesFromName(u"a\\b\\"_s), u"a_b_"_s);
    // The store keeps its ":" and "?"; the phone's names keep theirs unless made Windows-safe.
    QCOMPARE(*resolveInFolder(mRoot, u"a:b?/c"_s, PathUse::Write), mRoot + u"/a:b?/c"_s);
    QCOMPARE(*tempPathForFile(mRoot, u"/a|b<c>d?e*f\"g:h\\..\\i/j:k"_s),
             mRoot + u"/a_b_c_d_e_f_g_h_.._i/j_k"_s);
    QVERIFY(!tempPathForFile(mRoot, u"x:/../y"_s));
}

void StorePathsTest::uniqueNames() {
    const QString base = mBase->filePath(u"dest"_s);
    QVERIFY(QDir().mkpath(base + u"/Docs/sub"_s));
    for (const QString& name :
         {u"report.pdf"_s, u"report-1.pdf"_s, u"README"_s, u"archive.tar.gz"_s, u".hidden"_s})
        QVERIFY(makeFile(base + u'/' + name));
    QVERIFY(QFile::link(u"nowhere"_s, base + u"/taken"_s));

    QCOMPARE(*uniquePathAtPath(base + u"/report.pdf"_s, base), base + u"/report-2.pdf"_s);
    QCOMPARE(*uniquePathAtPath(base + u"/Docs"_s, base), base + u"/Docs-1"_s);
    QCOMPARE(*uniquePathAtPath(base + u"/README"_s, base), base + u"/README-1"_s);
    QCOMPARE(*uniquePathAtPath(base + u"/archive.tar.gz"_s, base), base + u"/archive.tar-1.gz"_s);
    QCOMPARE(*uniquePathAtPath(base + u"/.hidden"_s, base), base + u"/.hidden-1"_s);
    QCOMPARE(*uniquePathAtPath(base + u"/taken"_s, base), base + u"/taken-1"_s);
    QCOMPARE(*uniquePathAtPath(base + u"/free.txt"_s, base), base + u"/free.txt"_s);
    // Only the name just below the base changes.
    QCOMPARE(*uniquePathAtPath(base + u"/Docs/sub"_s, base + u"/"_s), base + u"/Docs-1/sub"_s);
    QVERIFY(!uniquePathAtPath(base, base));
    QVERIFY(!uniquePathAtPath(mOutside + u"/secret"_s, base));
    QVERIFY(!uniquePathAtPath(base + u"x/y"_s, base));
}

void StorePathsTest::uniqueNamesAreBounded() {
    const QString base = mBase->filePath(u"many"_s);
    QVERIFY(QDir().mkpath(base));
    QVERIFY(makeFile(base + u"/n"_s));
    for (int i = 1; i <= kMaxUniqueNameAttempts; ++i)
        QVERIFY(makeFile(base + u"/n-"_s + QString::number(i)));
    QVERIFY(!uniquePathAtPath(base + u"/n"_s, base));

    const QString longest = base + u'/' + QString(kMaxPhoneNameBytes - 1, u'z');
    QVERIFY(makeFile(longest));
    QVERIFY(!uniquePathAtPath(longest, base));
}

void StorePathsTest::privateFolder() {
    const Result<QString> folder = privateFolderIn(mBase->path(), u"area"_s);
    QVERIFY2(folder.ok(), qPrintable(folder.error()));
    QCOMPARE(*folder, mBase->filePath(u"area"_s));
    QCOMPARE(permissions(*folder), mode_t(0700));
    QCOMPARE(*privateFolderIn(mBase->path(), u"area"_s), *folder);

    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(mBase->path()));
    const Result<QString> area = temporaryArea();
    if (savedTemp.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", savedTemp);
    QVERIFY2(area.ok(), qPrintable(area.error()));
    const QString shared = mBase->filePath(u"vantle-%1-downloads"_s.arg(::geteuid()));
    QCOMPARE(*area, shared + u"/process-%1"_s.arg(::getpid()));
    QCOMPARE(permissions(shared), mode_t(0700));
    QCOMPARE(permissions(*area), mode_t(0700));
    QCOMPARE(temporaryAreaProcess(u"process-%1"_s.arg(::getpid())), qint64(::getpid()));
    for (const QString& other : {u"process-"_s, u"process-x"_s, u"process--4"_s, u"old.bin"_s})
        QCOMPARE(temporaryAreaProcess(other), std::nullopt);
}

void StorePathsTest::privateFolderRefusesWhatIsNotOurs() {
    QVERIFY(QFile::link(mOutside, mBase->filePath(u"planted"_s)));
    QVERIFY(!privateFolderIn(mBase->path(), u"planted"_s));
    QVERIFY(QFileInfo(mOutside).isDir());

    QVERIFY(QDir().mkdir(mBase->filePath(u"open"_s)));
    QVERIFY(::chmod(QFile::encodeName(mBase->filePath(u"open"_s)).constData(), 0755) == 0);
    QVERIFY(!privateFolderIn(mBase->path(), u"open"_s));
    QCOMPARE(permissions(mBase->filePath(u"open"_s)), mode_t(0755));

    QVERIFY(makeFile(mBase->filePath(u"plain"_s)));
    QVERIFY(!privateFolderIn(mBase->path(), u"plain"_s));
    QVERIFY(!privateFolderIn(mBase->path(), u"a/b"_s));
    QVERIFY(!privateFolderIn(QString(), u"a"_s));
}

void StorePathsTest::storeFolder() {
    const QString documents = mBase->filePath(u"Documents"_s);
    const Result<QString> store = storeFolderIn(documents);
    QVERIFY2(store.ok(), qPrintable(store.error()));
    QCOMPARE(*store, documents + u"/Vantle"_s);
    QVERIFY(QFileInfo(*store).isDir());

    QVERIFY(QDir().mkpath(mBase->filePath(u"other"_s)));
    QVERIFY(makeFile(mBase->filePath(u"other/Vantle"_s)));
    QVERIFY(!storeFolderIn(mBase->filePath(u"other"_s)));
    QVERIFY(!storeFolderIn(QString()));
}

// Across file systems a finished item is copied: it shows under its name only once it is whole,
// and a copy that stops leaves nothing in the destination.
void StorePathsTest::copyThenRenameShowsOnlyAWholeItem() {
    constexpr qsizetype kBytes = 3 * 1024 * 1024 + 5;
    const QString from = mBase->filePath(u"item.bin"_s);
    QFile source(from);
    QVERIFY(source.open(QIODevice::WriteOnly));
    const QByteArray bytes(kBytes, 'v');
    QCOMPARE(source.write(bytes), kBytes);
    source.close();
    QVERIFY(QDir().mkpath(mBase->filePath(u"other"_s)));
    const QString to = mBase->filePath(u"other/item.bin"_s);
    const QString partial = mBase->filePath(u"other/.vantle-item.bin.part"_s);

    int steps = 0;
    bool shownEarly = false;
    bool partialSeen = false;
    const Result<void> copied = store::copyThenRename(from, to, [&] {
        ++steps;
        shownEarly = shownEarly || QFileInfo::exists(to);
        partialSeen = partialSeen || QFileInfo::exists(partial);
        return true;
    });
    QVERIFY2(copied.ok(), qPrintable(copied.ok() ? QString() : copied.error()));
    QVERIFY(steps >= 3);
    QVERIFY(partialSeen);
    QVERIFY(!shownEarly);
    QVERIFY(!QFileInfo::exists(partial));
    QFile result(to);
    QVERIFY(result.open(QIODevice::ReadOnly));
    QCOMPARE(result.readAll(), bytes);

    const QString stopped = mBase->filePath(u"other/stopped.bin"_s);
    int left = 2;
    QVERIFY(!store::copyThenRename(from, stopped, [&] { return --left > 0; }).ok());
    QVERIFY(!QFileInfo::exists(stopped));
    QCOMPARE(QDir(mBase->filePath(u"other"_s))
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"item.bin"_s});
    QVERIFY(QFileInfo::exists(from));

    // An item that appeared under the final name meanwhile is never written over.
    result.close();
    QVERIFY(result.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(result.write("the user's own"), 14);
    result.close();
    QVERIFY(!store::copyThenRename(from, to).ok());
    QVERIFY(!store::moveItem(from, to).ok());
    QVERIFY(result.open(QIODevice::ReadOnly));
    QCOMPARE(result.readAll(), QByteArray("the user's own"));
    QVERIFY(QFileInfo::exists(from));
}

// An item that must be copied to another file system without room for it is not started there.
void StorePathsTest::moveAcrossFileSystemsNeedsRoomFirst() {
    constexpr qint64 kFree = 10;
    const QString otherDisk = u"/dev/shm"_s;
    if (!QFileInfo(otherDisk).isDir() ||
        QStorageInfo(otherDisk).device() == QStorageInfo(mBase->path()).device())
        QSKIP("no second file system beside the temporary folder");
    QTemporaryDir destination(otherDisk + u"/vantle-test-XXXXXX"_s);
    QVERIFY(destination.isValid());
    const QString from = mBase->filePath(u"item.bin"_s);
    QFile source(from);
    QVERIFY(source.open(QIODevice::WriteOnly));
    QCOMPARE(source.write(QByteArray(2048, 'v')), qint64(2048));
    source.close();
    const Result<void> moved = store::moveItem(from, destination.filePath(u"item.bin"_s), {},
                                               [](const QString&) { return kFree; });
    QVERIFY(!moved.ok());
    QCOMPARE(moved.error(),
             u"No space left on device: 2 KB needed, 10 Bytes free in "_s + destination.path());
    QVERIFY(
        QDir(destination.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    QVERIFY(QFileInfo::exists(from));
}

QTEST_GUILESS_MAIN(StorePathsTest)
#include "tst_storepaths.moc"
