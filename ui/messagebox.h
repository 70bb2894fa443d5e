// The one way the program shows a message box. Production shows QMessageBox;
// tests install ScriptedMessageBoxes, which records every box and answers from
// a queue, so no test blocks on a modal dialog.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <vector>

class QWidget;

namespace ui {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Critical };
enum class Answer { Ok, Cancel, Yes, No };

// "Disco de Captura para solicitudes ZELTAR": the title of a box given none.
QString applicationTitle();

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // An empty title shows the application's title.
    virtual Answer show(QWidget* parent, const QString& text, const QString& title = {}, Icon icon = Icon::None,
                        Buttons buttons = Buttons::Ok) = 0;

    static MessageBoxService& instance();
    // Replaces the service (tests); returns the previous one.
    static std::unique_ptr<MessageBoxService> install(std::unique_ptr<MessageBoxService> service);
};

// One message box a check asks for, with an OK button. An empty title means
// the application's title.
struct Message {
    QString text;
    QString title;
    bool critical = false;
    bool operator==(const Message&) const = default;
};
// Shows each message in turn.
void showMessages(QWidget* parent, const std::vector<Message>& messages);

// Whether `w` is a message box the production service has on screen, and
// pressing its button for `a` (for a tool that drives the program's windows).
bool isShownBox(const QWidget* w);
void answerShownBox(QWidget* box, Answer a);

// Shorthand for MessageBoxService::instance().show(...).
Answer message(QWidget* parent, const QString& text, const QString& title = {}, Icon icon = Icon::None,
               Buttons buttons = Buttons::Ok);

// While it lives, message boxes are not shown: their texts are collected (a
// box that asks gets the answer that changes nothing, No or Cancel), and the
// service in place before comes back when it ends. For work that reports
// what many checks said in one box of its own, or with no display at all.
class CollectedMessages {
public:
    CollectedMessages();
    ~CollectedMessages();
    CollectedMessages(const CollectedMessages&) = delete;
    CollectedMessages& operator=(const CollectedMessages&) = delete;
    const QStringList& texts() const { return *texts_; }

private:
    std::shared_ptr<QStringList> texts_ = std::make_shared<QStringList>();
    std::unique_ptr<MessageBoxService> previous_;
};

struct ShownBox {
    QString text;
    QString title;  // as shown: the application's title when none was given
    Icon icon;
    Buttons buttons;
    Answer answer;
};

class ScriptedMessageBoxes : public MessageBoxService {
public:
    Answer show(QWidget* parent, const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    // Queues the answer to the next box that offers a choice. A box with only
    // OK answers itself; a box with a choice and no queued answer is recorded
    // as a failure (see unexpected()) and answered Cancel (or No).
    void queue(Answer a) { answers_.push_back(a); }
    const std::vector<ShownBox>& shown() const { return shown_; }
    QStringList texts() const;
    void clear() { shown_.clear(); }
    int unexpected() const { return unexpected_; }

private:
    std::deque<Answer> answers_;
    std::vector<ShownBox> shown_;
    int unexpected_ = 0;
};

}  // namespace ui
