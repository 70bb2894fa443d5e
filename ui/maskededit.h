// A fixed-width masked edit box: "&" any character, "9" a digit, "#" a digit
// or blank, "a" a letter or digit. The prompt is a blank and text() always has
// one character per mask position (unlike QLineEdit's input mask, which drops
// blanks). Typing replaces the character at the caret when the mask position
// takes it, then moves the caret on; a refused character is swallowed.
#pragma once

#include <QLineEdit>

namespace ui {

class MaskedEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskedEdit(QWidget* parent = nullptr);

    void setMask(const QString& mask);  // "" removes the mask (text set freely)
    QString mask() const { return mask_; }
    // Full-width text (blanks for empty positions) when masked.
    QString maskedText() const;
    void setMaskedText(const QString& text);  // padded or cut to the mask's width
    // Hides QLineEdit::setText so that a masked box keeps its full width; a
    // call through a QLineEdit pointer is padded right after it.
    void setText(const QString& text) { setMaskedText(text); }
    // Takes the characters position by position from the caret on.
    void pasteMasked(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;

private:
    bool accepts(int pos, QChar c) const;
    void replaceAt(int pos, const QString& chars, int caret);
    void blankSelection();
    void typeChar(QChar c);
    void keepWidth();
    QString mask_;
    bool adjusting_ = false;
};

}  // namespace ui
