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

std::optional<store::Value> CodedComboBox::currentValue() const {
    const QVariant code = currentCode();
    if (!code.isValid())
        return std::nullopt;
    bool ok = false;
    const qlonglong n = code.toLongLong(&ok);
    if (ok)
        return store::Value(static_cast<double>(n));
    return store::Value(code.toString().toStdString());
}

}  // namespace ui
