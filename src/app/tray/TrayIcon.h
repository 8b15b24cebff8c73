#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>

class QAction;
class QIcon;
class QMenu;
class QSystemTrayIcon;

namespace vantle {

class MRWindow;

// The program's icon in the desktop's tray (a StatusNotifierItem where the desktop has a
// watcher for them), shown whenever there is a tray: its picture and tool tip say how the
// connection and the queue stand, its menu brings the window back, adds files, shows the
// transfer history and quits, and a
// click shows or hides the window. Main thread.
class TrayIcon final : public QObject {
    Q_OBJECT

public:
    // The window it shows, and the File menu's items it offers as they stand there.
    struct Parts {
        MRWindow* window = nullptr;
        QAction* addFiles = nullptr;
        QAction* transferHistory = nullptr;
        QAction* quit = nullptr;
    };
    enum class Connection { NotConnected, WaitingForApproval, Connected };
    // The icon's picture: greyed without a usable phone, with an arrow while the queue goes.
    enum class Look { NotConnected, Connected, Sending };
    // The tool tip and picture change at most this often, however fast the bar moves.
    static constexpr int kRefreshMs = 250;

    explicit TrayIcon(Parts parts, QObject* parent = nullptr);
    ~TrayIcon() override;
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // A tray shows the icon now (asked of the desktop each time).
    bool available() const;

    void showConnection(Connection connection, const QString& phoneName);
    // `items` are queued and one of them goes; `percent` of it has gone, none while it is
    // being measured.
    void showSending(int items, std::optional<int> percent);
    void sendingEnded();

    // The tool tip for a state, e.g. "Vantle — Sending 3 items, 42 %".
    static QString describe(Connection connection, const QString& phoneName, int items,
                            std::optional<int> percent, bool sending);
    // The picture of each look, drawn at the sizes trays use.
    static QIcon iconFor(Look look);
    QMenu* menu() const { return mMenu.get(); }
    QString toolTip() const;

private:
    void changed();
    void refresh();
    // Shows the window in front, or hides it when it already is.
    void toggleWindow();

    Parts mParts;
    std::unique_ptr<QMenu> mMenu;
    QSystemTrayIcon* mIcon = nullptr;
    Connection mConnection = Connection::NotConnected;
    QString mPhoneName;
    // While an item goes: the items queued and how far the item is.
    struct Sending {
        int items = 0;
        std::optional<int> percent;
    };
    std::optional<Sending> mSending;
    std::optional<Look> mShownLook;
    // Changes within kRefreshMs of the last refresh wait for the next one.
    QTimer mThrottle;
    bool mRefreshPending = false;
};

} // namespace vantle
