#pragma once

#include "app/campaign/Tree.h"
#include "app/campaign/Workspace.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QStringList>
#include <optional>

namespace vantle::campaign {

// What the user did in a run, as the user knows it: what was added, removed, answered, and what
// was on the phone before. The invariants are judged against it.
class UserModel {
public:
    enum class Fate { Pending, Removed, Cancelled };
    enum class Answer { Replace, Cancel, MakeUnique };

    struct Item {
        QString path;
        QString phoneName;
        ItemKind kind = ItemKind::File;
        Fate fate = Fate::Pending;
        // Every content the item had; the last one is what should arrive.
        QList<Tree> versions;
        bool vanished = false;
        bool mayBeUnique = false;
        // A "Cancel" given for the other items was in force while it was queued.
        bool mayBeAutoCancelled = false;
    };

    void added(const QString& path, ItemKind kind);
    void removed(const QString& path);
    void cancelled(const QString& path);
    void vanished(const QString& path);
    void changed(const QString& path);
    // The clash sheet about `path` answered; `forOthers` with the check box.
    void answeredClash(const QString& path, Answer answer, bool forOthers);
    // The queue ran dry, or the program started afresh: an answer for the other items is over.
    void answerForOthersEnds() { mForOthers.reset(); }
    void phoneHadFile(const QString& name, const QByteArray& bytes) { mPhoneBefore[name] = bytes; }

    const QMap<QString, Item>& items() const { return mItems; }
    const Item* item(const QString& path) const;
    const QMap<QString, QByteArray>& phoneBefore() const { return mPhoneBefore; }
    bool replacePermitted(const QString& phoneName) const { return mReplaced.contains(phoneName); }
    // Paths the user has added and not taken back, oldest first.
    QStringList pendingPaths() const;

private:
    void applyForOthers(Item& item);

    QMap<QString, Item> mItems;
    QStringList mOrder;
    QMap<QString, QByteArray> mPhoneBefore;
    QSet<QString> mReplaced;
    std::optional<Answer> mForOthers;
};

} // namespace vantle::campaign
