#include "ui/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ui {

QString applicationTitle() { return QStringLiteral("Disco de Captura para solicitudes ZELTAR"); }

namespace {

// The production service: a real QMessageBox, so screen readers get its
// title, text and buttons.
class QtMessageBoxes : public MessageBoxService {
public:
    Answer show(QWidget* parent, const QString& text, const QString& title, Icon icon, Buttons buttons) override {
        QMessageBox box(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                        title.isEmpty() ? applicationTitle() : title, text, QMessageBox::NoButton, parent);
        QMessageBox::StandardButton def = QMessageBox::Ok;
        QMessageBox::StandardButton esc = QMessageBox::Ok;
        switch (buttons) {
        case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            esc = QMessageBox::Cancel;
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            def = QMessageBox::Yes;
            esc = QMessageBox::No;
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            def = QMessageBox::Yes;
            esc = QMessageBox::Cancel;
            break;
        }
        box.setDefaultButton(def);
        box.setEscapeButton(esc);
        // The operator answers under the normal pointer, even inside a busy action.
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        box.exec();
        QApplication::restoreOverrideCursor();
        auto* clicked = box.clickedButton();
        const auto which = clicked ? box.standardButton(clicked) : esc;
        switch (which) {
        case QMessageBox::Ok: return Answer::Ok;
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        default: return Answer::Cancel;
        }
    }
};

std::unique_ptr<MessageBoxService>& current() {
    static std::unique_ptr<MessageBoxService> service = std::make_unique<QtMessageBoxes>();
    return service;
}

}  // namespace

MessageBoxService& MessageBoxService::instance() { return *current(); }

std::unique_ptr<MessageBoxService> MessageBoxService::install(std::unique_ptr<MessageBoxService> service) {
    if (!service)
        service = std::make_unique<QtMessageBoxes>();
    std::swap(current(), service);
    return service;
}

bool isShownBox(const QWidget* w) { return qobject_cast<const QMessageBox*>(w) != nullptr; }

void answerShownBox(QWidget* box, Answer a) {
    auto* b = qobject_cast<QMessageBox*>(box);
    if (!b)
        return;
    const QMessageBox::StandardButton button = a == Answer::Ok    ? QMessageBox::Ok
                                               : a == Answer::Yes ? QMessageBox::Yes
                                               : a == Answer::No  ? QMessageBox::No
                                                                  : QMessageBox::Cancel;
    if (QAbstractButton* pressed = b->button(button))
        pressed->click();
}

Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon, Buttons buttons) {
    return MessageBoxService::instance().show(parent, text, title, icon, buttons);
}

void showMessages(QWidget* parent, const std::vector<Message>& messages) {
    for (const Message& m : messages)
        message(parent, m.text, m.title, m.critical ? Icon::Critical : Icon::None);
}

namespace {

class Collecting : public MessageBoxService {
public:
    explicit Collecting(std::shared_ptr<QStringList> texts) : texts_(std::move(texts)) {}
    Answer show(QWidget*, const QString& text, const QString&, Icon, Buttons buttons) override {
        texts_->append(text);
        switch (buttons) {
        case Buttons::Ok: return Answer::Ok;
        case Buttons::YesNo: return Answer::No;
        default: return Answer::Cancel;
        }
    }

private:
    std::shared_ptr<QStringList> texts_;
};

}  // namespace

CollectedMessages::CollectedMessages() : previous_(MessageBoxService::install(std::make_unique<Collecting>(texts_))) {}

CollectedMessages::~CollectedMessages() { MessageBoxService::install(std::move(previous_)); }

Answer ScriptedMessageBoxes::show(QWidget*, const QString& text, const QString& title, Icon icon, Buttons buttons) {
    Answer answer = Answer::Ok;
    if (buttons != Buttons::Ok) {
        if (!answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        } else {
            // Nobody expected this question: record it and take the safe way out.
            ++unexpected_;
            answer = buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
        }
    }
    shown_.push_back({text, title.isEmpty() ? applicationTitle() : title, icon, buttons, answer});
    return answer;
}

QStringList ScriptedMessageBoxes::texts() const {
    QStringList out;
    for (const auto& b : shown_)
        out << b.text;
    return out;
}

}  // namespace ui
