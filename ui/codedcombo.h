// A drop-down list whose entries carry a numeric code: the code is what is
// stored, the text what is shown.
#pragma once

#include <QComboBox>
#include <QVariant>
#include <optional>

#include "store/value.h"

namespace ui {

class CodedComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CodedComboBox(QWidget* parent = nullptr);
    void addCoded(const QString& text, const QVariant& code);
    QVariant code(int index) const;
    QVariant currentCode() const;  // invalid when nothing is selected
    // The selected entry's code as a record stores it: a whole number, or the
    // text of a code that is none. Empty when nothing is selected.
    std::optional<store::Value> currentValue() const;
};

}  // namespace ui
