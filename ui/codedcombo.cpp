#include "ui/codedcombo.h"

namespace ui {

CodedComboBox::CodedComboBox(QWidget* parent) : QComboBox(parent) { setEditable(false); }

void CodedComboBox::addCoded(const QString& text, const QVariant& code) { addItem(text, code); }

QVariant CodedComboBox::code(int index) const {
    if (index < 0 || index >= count())
        return {};
    return itemData(index);
}

QVariant CodedComboBox::currentCode() const { return code(currentIndex()); }

} // namespace ui
