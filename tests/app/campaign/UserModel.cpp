#include "app/campaign/UserModel.h"

#include <QFileInfo>

namespace vantle::campaign {

const UserModel::Item* UserModel::item(const QString& path) const {
    const auto it = mItems.constFind(path);
    return it == mItems.constEnd() ? nullptr : &*it;
}

void UserModel::applyForOthers(Item& item) {
    if (!mForOthers) return;
    switch (*mForOthers) {
    case Answer::Replace:
        mReplaced.insert(item.phoneName);
        break;
    case Answer::Cancel:
        item.mayBeAutoCancelled = true;
        break;
    case Answer::MakeUnique:
        item.mayBeUnique = true;
        break;
    }
}

void UserModel::added(const QString& path, ItemKind kind) {
    Item& item = mItems[path];
    if (item.path.isEmpty()) mOrder << path;
    item.path = path;
    item.phoneName = QFileInfo(path).fileName();
    item.kind = kind;
    item.fate = Fate::Pending;
    item.mayBeAutoCancelled = false;
    const Tree now = treeAt(path);
    if (item.versions.isEmpty() || item.versions.last() != now) item.versions << now;
    item.vanished = !QFileInfo(path).exists() && !QFileInfo(path).isSymLink();
    applyForOthers(item);
}

void UserModel::removed(const QString& path) {
    if (mItems.contains(path)) mItems[path].fate = Fate::Removed;
}

void UserModel::cancelled(const QString& path) {
    if (mItems.contains(path)) mItems[path].fate = Fate::Cancelled;
}

void UserModel::vanished(const QString& path) {
    if (mItems.contains(path)) mItems[path].vanished = true;
}

void UserModel::changed(const QString& path) {
    if (!mItems.contains(path)) return;
    Item& item = mItems[path];
    const Tree now = treeAt(path);
    if (item.versions.isEmpty() || item.versions.last() != now) item.versions << now;
}

void UserModel::answeredClash(const QString& path, Answer answer, bool forOthers) {
    if (mItems.contains(path)) {
        Item& item = mItems[path];
        switch (answer) {
        case Answer::Replace:
            mReplaced.insert(item.phoneName);
            break;
        case Answer::Cancel:
            item.fate = Fate::Cancelled;
            break;
        case Answer::MakeUnique:
            item.mayBeUnique = true;
            break;
        }
    }
    if (!forOthers) return;
    mForOthers = answer;
    for (Item& each : mItems)
        if (each.fate == Fate::Pending) applyForOthers(each);
}

QStringList UserModel::pendingPaths() const {
    QStringList paths;
    for (const QString& path : mOrder)
        if (mItems.value(path).fate == Fate::Pending) paths << path;
    return paths;
}

} // namespace vantle::campaign
