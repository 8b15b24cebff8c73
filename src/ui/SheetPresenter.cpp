#include "ui/SheetPresenter.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace vantle {

namespace {

// A box is as wide as its longest unbroken run of text: a long file name would push it past the
// window and its buttons out of sight. Such runs get places to break (invisible ones).
constexpr qsizetype kLongestUnbrokenRun = 40;
constexpr QChar kZeroWidthSpace{0x200B};

QString wrappable(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        // Never inside a character made of two units, nor before a mark that belongs to the last.
        if (run > kLongestUnbrokenRun && !c.isLowSurrogate() && !c.isMark()) {
            shown += kZeroWidthSpace;
            run = 1;
        }
        shown += c;
    }
    return shown;
}

// The title a message button was made with, kept on the button: styles may add accelerators
// to the text it shows.
constexpr auto kTitleProperty = "vantleButtonTitle";
constexpr auto kRoleProperty = "vantleButtonRole";

QString buttonTitle(const QAbstractButton* button) {
    const QVariant title = button->property(kTitleProperty);
    return title.isValid() ? title.toString() : button->text().remove(QLatin1Char('&'));
}

QMessageBox* asMessageBox(QWidget* widget) {
    return qobject_cast<QMessageBox*>(widget);
}

std::optional<SheetPresenter::Role> buttonRole(const QAbstractButton* button) {
    const QVariant role = button->property(kRoleProperty);
    if (!role.isValid()) return std::nullopt;
    return role.value<SheetPresenter::Role>();
}

// Titles alone say only which button cancels.
SheetPresenter::Question asQuestion(const SheetPresenter::Message& message) {
    SheetPresenter::Question question{
        message.title, message.text, {}, message.checkBox, message.kind};
    for (const QString& title : message.buttons)
        question.buttons.push_back({title, SheetPresenter::isCancelLike(title)
                                               ? SheetPresenter::Role::Cancel
                                               : SheetPresenter::Role::Accept});
    return question;
}

} // namespace

SheetPresenter::SheetPresenter(QWidget* window, QObject* parent)
    : QObject(parent), mWindow(window) {}

SheetPresenter::~SheetPresenter() {
    for (Entry& entry : mOpen) {
        disconnect(entry.finished);
        disconnect(entry.destroyed);
        if (entry.message && entry.dialog) delete entry.dialog.data();
    }
}

bool SheetPresenter::isCancelLike(const QString& title) {
    return title.compare(QStringLiteral("Cancel"), Qt::CaseInsensitive) == 0 ||
           title.compare(tr("Cancel"), Qt::CaseInsensitive) == 0;
}

void SheetPresenter::show(const Question& question, Answered done) {
    Entry entry;
    entry.message = question;
    entry.answered = std::move(done);
    entry.sheet = question.kind == Kind::Sheet;
    enqueue(std::move(entry));
}

void SheetPresenter::tell(const QString& title, const QString& text, Kind kind) {
    show({title, text, {{tr("OK"), Role::Accept}}, std::nullopt, kind}, [](Role, bool) {});
}

void SheetPresenter::show(const Message& message, MessageDone done) {
    Entry entry;
    entry.message = asQuestion(message);
    entry.messageDone = std::move(done);
    entry.sheet = message.kind == Kind::Sheet;
    enqueue(std::move(entry));
}

void SheetPresenter::showSheet(QDialog* dialog, DialogDone done) {
    Entry entry;
    entry.dialog = dialog;
    entry.dialogDone = std::move(done);
    enqueue(std::move(entry));
}

void SheetPresenter::enqueue(Entry entry) {
    if (entry.sheet && (sheetOpen() || !mWaitingSheets.empty())) {
        mWaitingSheets.push_back(std::move(entry));
        return;
    }
    present(std::move(entry));
}

bool SheetPresenter::sheetOpen() const {
    return std::any_of(mOpen.begin(), mOpen.end(), [](const Entry& entry) { return entry.sheet; });
}

QDialog* SheetPresenter::makeMessageBox(const Question& message) const {
    auto* box = new QMessageBox(mWindow);
    box->setIcon(QMessageBox::NoIcon);
    box->setWindowTitle(message.title);
    box->setTextFormat(Qt::PlainText);
    box->setText(message.title);
    if (!message.text.isEmpty()) box->setInformativeText(wrappable(message.text));
    // Names of devices and files reach these texts: they are never read as markup.
    for (QLabel* label : box->findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    if (auto* heading = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
    }
    for (std::size_t i = 0; i < message.buttons.size(); ++i) {
        const auto& [title, role] = message.buttons[i];
        const bool cancels = role == Role::Cancel && i != 0;
        QPushButton* button = box->addButton(title, i == 0    ? QMessageBox::AcceptRole
                                                    : cancels ? QMessageBox::RejectRole
                                                              : QMessageBox::ActionRole);
        button->setProperty(kTitleProperty, title);
        button->setProperty(kRoleProperty, QVariant::fromValue(role));
        if (i == 0) box->setDefaultButton(button);
        if (cancels && !box->escapeButton()) box->setEscapeButton(button);
    }
    if (message.checkBox) {
        auto* check = new QCheckBox(*message.checkBox, box);
        check->setChecked(false);
        box->setCheckBox(check);
    }
    return box;
}

void SheetPresenter::present(Entry entry) {
    if (entry.message) entry.dialog = makeMessageBox(*entry.message);
    QDialog* dialog = entry.dialog;
    if (!dialog) {
        // A dialog of the caller's went away while it waited.
        openNextSheet();
        return;
    }
    if (entry.sheet && mWindow && dialog->parentWidget() != mWindow)
        dialog->setParent(mWindow, dialog->windowFlags() | Qt::Dialog);
    dialog->setWindowModality(entry.sheet && mWindow ? Qt::WindowModal : Qt::ApplicationModal);
    const QObject* key = dialog;
    entry.key = key;
    entry.finished =
        connect(dialog, &QDialog::finished, this, [this, key](int result) { finish(key, result); });
    entry.destroyed = connect(dialog, &QObject::destroyed, this, [this, key] { forget(key); });
    const QString title = entry.message ? entry.message->title : dialog->windowTitle();
    const QString text = entry.message ? entry.message->text : QString();
    mOpen.push_back(std::move(entry));
    dialog->show();
    emit presented(title, text);
}

void SheetPresenter::finish(const QObject* key, int result) {
    const auto found = std::find_if(mOpen.begin(), mOpen.end(),
                                    [key](const Entry& entry) { return entry.key == key; });
    if (found == mOpen.end()) return;
    Entry entry = std::move(*found);
    mOpen.erase(found);
    disconnect(entry.finished);
    disconnect(entry.destroyed);

    if (entry.message) {
        auto* box = qobject_cast<QMessageBox*>(entry.dialog.data());
        const QAbstractButton* clicked = box ? box->clickedButton() : nullptr;
        const bool checked = box && box->checkBox() && box->checkBox()->isChecked();
        if (box) box->deleteLater();
        if (entry.messageDone)
            entry.messageDone(clicked ? buttonTitle(clicked) : QString(), checked);
        if (entry.answered)
            entry.answered(clicked ? buttonRole(clicked).value_or(Role::Cancel) : Role::Cancel,
                           checked);
    } else if (entry.dialogDone) {
        entry.dialogDone(result);
    }
    if (entry.sheet) openNextSheet();
}

void SheetPresenter::abandon() {
    mWaitingSheets.clear();
    std::vector<Entry> open = std::move(mOpen);
    mOpen.clear();
    for (Entry& entry : open) {
        disconnect(entry.finished);
        disconnect(entry.destroyed);
        if (entry.dialog) entry.dialog->hide();
        // Our own boxes go with us; a caller's dialog stays the caller's.
        if (entry.message && entry.dialog) entry.dialog->deleteLater();
    }
}

void SheetPresenter::forget(const QObject* key) {
    const auto found = std::find_if(mOpen.begin(), mOpen.end(),
                                    [key](const Entry& entry) { return entry.key == key; });
    if (found == mOpen.end()) return;
    const bool sheet = found->sheet;
    mOpen.erase(found);
    // Destroyed unanswered (its window went away): nobody waits for the answer any more, and
    // the next sheet opens once the destruction is over.
    if (sheet) QTimer::singleShot(0, this, &SheetPresenter::openNextSheet);
}

void SheetPresenter::openNextSheet() {
    if (sheetOpen()) return;
    if (mWaitingSheets.empty()) {
        emit sheetsClosed();
        return;
    }
    if (!mWindow) {
        mWaitingSheets.clear();
        return;
    }
    Entry next = std::move(mWaitingSheets.front());
    mWaitingSheets.pop_front();
    present(std::move(next));
}

const SheetPresenter::Entry* SheetPresenter::currentEntry() const {
    for (auto it = mOpen.rbegin(); it != mOpen.rend(); ++it) {
        if (it->dialog) return &*it;
    }
    return nullptr;
}

QWidget* SheetPresenter::current() const {
    const Entry* entry = currentEntry();
    return entry ? entry->dialog.data() : nullptr;
}

QString SheetPresenter::currentTitle() const {
    const Entry* entry = currentEntry();
    if (!entry) return {};
    return entry->message ? entry->message->title : entry->dialog->windowTitle();
}

QString SheetPresenter::currentText() const {
    const Entry* entry = currentEntry();
    return entry && entry->message ? entry->message->text : QString();
}

QStringList SheetPresenter::currentButtons() const {
    const Entry* entry = currentEntry();
    if (!entry) return {};
    if (entry->message) {
        QStringList titles;
        for (const Button& button : entry->message->buttons)
            titles.append(button.title);
        return titles;
    }
    QStringList titles;
    for (const QAbstractButton* button : entry->dialog->findChildren<QAbstractButton*>()) {
        if (!qobject_cast<const QCheckBox*>(button) && button->isVisibleTo(entry->dialog))
            titles.append(buttonTitle(button));
    }
    return titles;
}

bool SheetPresenter::answer(const QString& title, bool checked) {
    return click([&title](const QAbstractButton* button) { return buttonTitle(button) == title; },
                 checked);
}

bool SheetPresenter::answer(Role role, bool checked) {
    return click([role](const QAbstractButton* button) { return buttonRole(button) == role; },
                 checked);
}

bool SheetPresenter::click(const std::function<bool(const QAbstractButton*)>& chosen,
                           bool checked) {
    QWidget* widget = current();
    if (!widget) return false;
    if (QMessageBox* box = asMessageBox(widget); box && box->checkBox())
        box->checkBox()->setChecked(checked);
    for (QAbstractButton* button : widget->findChildren<QAbstractButton*>()) {
        if (qobject_cast<QCheckBox*>(button) || !chosen(button)) continue;
        button->click();
        return true;
    }
    return false;
}

} // namespace vantle
