#include "app/campaign/Invariants.h"

#include "platform/Plist.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace vantle::campaign {
namespace {

// The names the item may have on the phone: its own, and with Make Unique "stem-N.ext".
QStringList phoneNamesOf(const UserModel::Item& item, const PhoneControl& phone) {
    if (!item.mayBeUnique) return {item.phoneName};
    return namesFor(item.phoneName, phone.topNames());
}

bool arrived(const UserModel::Item& item, const PhoneControl& phone) {
    if (item.versions.isEmpty() || item.versions.last().isEmpty()) return false;
    for (const QString& name : phoneNamesOf(item, phone))
        if (phone.treeOf(name) == item.versions.last()) return true;
    return false;
}

// A file on the phone that is a short copy of the item's file of the same place.
bool isPartialOf(const UserModel::Item& item, const QString& relative, const QByteArray& bytes) {
    bool prefix = false;
    for (const Tree& version : item.versions) {
        const auto it = version.constFind(relative);
        if (it == version.constEnd()) continue;
        if (*it == bytes) return false;
        prefix = prefix || isStrictPrefix(bytes, *it);
    }
    return prefix;
}

// The program told the user about the item's leftover: a sheet or a log line calls it partial.
bool saidAbout(const QString& said, const QString& name) {
    for (const QString& line : said.split(QLatin1Char('\n')))
        if (line.contains(name) &&
            (line.contains(QStringLiteral("partial"), Qt::CaseInsensitive) ||
             line.contains(QStringLiteral("incomplete"), Qt::CaseInsensitive)))
            return true;
    return false;
}

QString shortPath(const QString& path) {
    return QFileInfo(path).fileName();
}

} // namespace

QStringList namesFor(const QString& name, const QStringList& entries) {
    QStringList names{name};
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    const QRegularExpression unique(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(stem) + QStringLiteral("-\\d+") +
        QRegularExpression::escape(extension)));
    for (const QString& entry : entries)
        if (unique.match(entry).hasMatch()) names << entry;
    return names;
}

QList<Violation> checkItems(const UserModel& model, const PhoneControl& phone,
                            const Outcome& outcome) {
    QList<Violation> found;
    const QSet<QString> queued(outcome.queuedPaths.begin(), outcome.queuedPaths.end());
    for (const UserModel::Item& item : model.items()) {
        // A named pipe has no bytes to compare; that it never holds the program up is I5's.
        if (item.kind == ItemKind::Pipe) continue;
        const QString name = shortPath(item.path);
        const bool isThere = arrived(item, phone);
        if (item.fate == UserModel::Fate::Pending && !queued.contains(item.path) && !isThere &&
            !item.vanished && !item.mayBeAutoCancelled)
            found << Violation{QStringLiteral("I1"),
                               QStringLiteral("%1 (%2) is neither on the phone nor queued, and the "
                                              "user did not take it back")
                                   .arg(name, kindName(item.kind))};
        for (const QString& phoneName : phoneNamesOf(item, phone)) {
            if (model.phoneBefore().contains(phoneName) &&
                phone.treeOf(phoneName) == Tree{{QString(), model.phoneBefore()[phoneName]}})
                continue;
            const Tree there = phone.treeOf(phoneName);
            for (auto it = there.constBegin(); it != there.constEnd(); ++it) {
                if (!isPartialOf(item, it.key(), it.value())) continue;
                if (item.vanished)
                    found << Violation{QStringLiteral("I1"),
                                       QStringLiteral("%1 vanished locally and is on the phone "
                                                      "damaged as %2/%3 (%4 bytes)")
                                           .arg(name, phoneName, it.key())
                                           .arg(it.value().size())};
                else if (!saidAbout(outcome.said, phoneName))
                    found << Violation{QStringLiteral("I4"),
                                       QStringLiteral("a partial copy of %1 is left on the phone "
                                                      "as %2/%3 (%4 bytes), unannounced")
                                           .arg(name, phoneName, it.key())
                                           .arg(it.value().size())};
            }
        }
    }
    return found;
}

QList<Violation> checkPhoneFiles(const UserModel& model, const PhoneControl& phone) {
    QList<Violation> found;
    const QMap<QString, QByteArray>& before = model.phoneBefore();
    for (auto it = before.constBegin(); it != before.constEnd(); ++it) {
        if (model.replacePermitted(it.key())) continue;
        const Tree now = phone.treeOf(it.key());
        if (now == Tree{{QString(), it.value()}}) continue;
        const QString how = now.isEmpty() ? QStringLiteral("removed")
                                          : QStringLiteral("changed (%1 files)").arg(now.size());
        found << Violation{QStringLiteral("I2"),
                           QStringLiteral("the phone's own %1 was %2 without Replace")
                               .arg(shortPath(it.key()), how)};
    }
    return found;
}

QStringList queueFilePaths(const QString& queueFile) {
    QFile file(queueFile);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const Result<QVariant> root = plist::readXml(file.readAll());
    if (!root) return {};
    return root->toMap().keys();
}

QList<Violation> checkQueueFile(const UserModel& model, const PhoneControl& phone,
                                const QStringList& expected, const QString& queueFile,
                                const QString& when) {
    QList<Violation> found;
    const QStringList listed = queueFilePaths(queueFile);
    for (const QString& path : expected) {
        if (listed.contains(path)) continue;
        const UserModel::Item* item = model.item(path);
        if (!item || item->vanished || item->kind == ItemKind::Pipe || arrived(*item, phone))
            continue;
        found << Violation{QStringLiteral("I3"),
                           QStringLiteral("after %1 the queue file lacks %2, not yet sent")
                               .arg(when, shortPath(path))};
    }
    return found;
}

QList<Violation> checkRows(const QStringList& rows) {
    QList<Violation> found;
    QSet<QString> seen;
    for (const QString& path : rows) {
        if (seen.contains(path))
            found << Violation{QStringLiteral("I1"),
                               QStringLiteral("%1 has two rows in the queue").arg(shortPath(path))};
        seen.insert(path);
    }
    return found;
}

} // namespace vantle::campaign
