#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QAbstractButton;
class QDialog;
class QWidget;

namespace vantle {

// Every sheet and alert of the program goes through here, so that tests can answer them.
// Sheets are window-modal on the main window and come one at a time: a sheet asked for while
// another is open waits its turn. Alerts are application-modal and open at once. Nothing blocks:
// the answer comes to a callback once the box has closed.
class SheetPresenter : public QObject {
    Q_OBJECT

public:
    enum class Kind { Sheet, Alert };

    // What a button means to the caller, whatever its title reads.
    enum class Role {
        Accept, // "OK", "Quit": the box is taken note of
        Cancel,
        TryAgain,
        Ignore, // leave that phone alone from now on
        Replace,
        MakeUnique,
        Remove,
        DontRemind,
        GoThere, // open the web site
    };
    Q_ENUM(Role)

    struct Button {
        QString title;
        Role role;
    };

    struct Question {
        QString title;
        QString text;
        // The first is the default (Return); a later one with the role Cancel is Escape's.
        std::vector<Button> buttons;
        // A check box under the text, off at first.
        std::optional<QString> checkBox = std::nullopt;
        Kind kind = Kind::Sheet;
    };

    // A box closed without a button answers Cancel.
    using Answered = std::function<void(Role role, bool checked)>;

    struct Message {
        using Kind = SheetPresenter::Kind;

        QString title;
        QString text;
        // The first is the default (Return), the second the alternate, the others after them.
        QStringList buttons;
        // A check box under the text, off at first.
        std::optional<QString> checkBox;
        Kind kind = Kind::Sheet;
    };

    using MessageDone = std::function<void(const QString& button, bool checked)>;
    using DialogDone = std::function<void(int result)>;

    explicit SheetPresenter(QWidget* window, QObject* parent = nullptr);
    ~SheetPresenter() override;

    // Shows the question; its texts are shown as they are, never read as markup.
    void show(const Question& question, Answered done);
    // Tells the user something; the box's one button is "OK".
    void tell(const QString& title, const QString& text, Kind kind = Kind::Sheet);
    void show(const Message& message, MessageDone done);
    // Shows a dialog of the caller's as a sheet; the dialog stays the caller's.
    void showSheet(QDialog* dialog, DialogDone done);

    // The program is ending: the open and waiting boxes go unanswered. Closing them is the
    // application's way out, not the user's answer, whatever button a box makes of it.
    void abandon();

    // A sheet is on the window (files are not taken then).
    bool sheetOpen() const;

    // The box shown last and still open (a sheet or an alert), for tests.
    QWidget* current() const;
    QString currentTitle() const;
    QString currentText() const;
    QStringList currentButtons() const;
    // Clicks the button of that title in the current box, after setting its check box; false
    // when there is no such box or button.
    bool answer(const QString& buttonTitle, bool checked = false);
    // Clicks the first button of that role in the current box, after setting its check box.
    bool answer(Role role, bool checked = false);

    // True for the button titles that Escape may choose.
    static bool isCancelLike(const QString& buttonTitle);

signals:
    void presented(const QString& title, const QString& text);
    // The last sheet has closed (answered or destroyed) and none waits: the window is free.
    void sheetsClosed();

private:
    struct Entry {
        std::optional<Question> message;
        Answered answered;
        MessageDone messageDone;
        QPointer<QDialog> dialog;
        // The dialog's identity, compared while it is being destroyed (when it is no longer one).
        const QObject* key = nullptr;
        DialogDone dialogDone;
        bool sheet = true;
        QMetaObject::Connection finished;
        QMetaObject::Connection destroyed;
    };

    void enqueue(Entry entry);
    void present(Entry entry);
    // Clicks the first button `chosen` picks in the current box, after setting its check box.
    bool click(const std::function<bool(const QAbstractButton*)>& chosen, bool checked);
    void finish(const QObject* key, int result);
    void forget(const QObject* key);
    void openNextSheet();
    QDialog* makeMessageBox(const Question& question) const;
    const Entry* currentEntry() const;

    QPointer<QWidget> mWindow;
    // What is open, oldest first; at most one of them a sheet.
    std::vector<Entry> mOpen;
    std::deque<Entry> mWaitingSheets;
};

} // namespace vantle
