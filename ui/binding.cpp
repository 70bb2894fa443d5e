#include "ui/binding.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextEdit>

#include "ui/maskededit.h"

namespace ui {

namespace {

bool isTrue(const store::Value& v) {
    if (v.isLogical())
        return v.logical();
    if (v.isNumber())
        return v.number() != 0;
    if (v.isText()) {
        const QString t = QString::fromStdString(v.text()).trimmed().toUpper();
        return t == QLatin1String("T") || t == QLatin1String("Y") || t == QLatin1String("S") || t == QLatin1String("1")
               || t == QLatin1String("TRUE");
    }
    return false;
}

}  // namespace

QString displayText(const store::Value& value) { return QString::fromStdString(value.toString()); }

store::Value fieldValue(const store::FieldDef& field, const QString& text) {
    const QString t = text.trimmed();
    switch (field.type) {
    case store::FieldType::Numeric:
    case store::FieldType::Float: {
        if (t.isEmpty())
            return {};
        bool ok = false;
        const double d = t.toDouble(&ok);
        if (!ok)
            throw store::StoreError("El valor \"" + t.toStdString() + "\" no es un número válido para el campo "
                                    + field.name + ".");
        return store::Value(d);
    }
    case store::FieldType::Date: {
        if (t.isEmpty())
            return {};
        QString digits = t;
        digits.remove(QLatin1Char('-')).remove(QLatin1Char('/'));
        bool ok = digits.size() == 8;
        const int n = ok ? digits.toInt(&ok) : 0;
        if (!ok)
            throw store::StoreError("La fecha \"" + t.toStdString() + "\" no es válida para el campo " + field.name
                                    + ".");
        return store::Value(store::Date{n / 10000, n / 100 % 100, n % 100});
    }
    case store::FieldType::Logical:
        if (t.isEmpty())
            return {};
        return store::Value(isTrue(store::Value(t.toStdString())));
    case store::FieldType::Character: break;
    }
    return store::Value(text.toStdString());
}

Binding::Binding(store::DataSource& source, QObject* parent) : QObject(parent), source_(source) {
    // read() throws nothing: a field it cannot read shows empty.
    listener_ = source_.addListener([this] {
        if (!writing_)
            read();
    });
}

Binding::~Binding() { source_.removeListener(listener_); }

void Binding::bind(QWidget* control, const QString& field) {
    if (!control)
        return;
    bound_.push_back({control, field});
}

void Binding::read() {
    if (reading_)
        return;
    reading_ = true;
    const bool hasRow =
        source_.isOpen() && (source_.editMode() != store::EditMode::None || (!source_.eof() && !source_.bof()));
    for (const Bound& b : bound_) {
        store::Value v;
        if (hasRow) {
            try {
                const int pos = source_.fieldIndex(b.field.toStdString());
                if (pos >= 0)
                    v = source_.field(std::size_t(pos));
            } catch (const store::StoreError&) {
                v = {};  // the row went away under the data source: its controls show empty
            }
        }
        if (auto* m = qobject_cast<MaskedEdit*>(b.control))
            m->setMaskedText(displayText(v));
        else if (auto* e = qobject_cast<QLineEdit*>(b.control))
            e->setText(displayText(v));
        else if (auto* c = qobject_cast<QCheckBox*>(b.control))
            c->setChecked(isTrue(v));
        else if (auto* t = qobject_cast<QTextEdit*>(b.control))
            t->setPlainText(displayText(v));
        else if (auto* p = qobject_cast<QPlainTextEdit*>(b.control))
            p->setPlainText(displayText(v));
    }
    reading_ = false;
}

void Binding::write() {
    if (source_.editMode() == store::EditMode::None)
        source_.edit();
    const QScopedValueRollback<bool> writing(writing_, true);
    for (const Bound& b : bound_) {
        const int pos = source_.fieldIndex(b.field.toStdString());
        if (pos < 0)
            throw store::StoreError("No existe el campo " + b.field.toStdString() + ".");
        const store::FieldDef& def = source_.fieldDef(std::size_t(pos));
        if (auto* m = qobject_cast<MaskedEdit*>(b.control))
            source_.setField(std::size_t(pos), fieldValue(def, m->maskedText()));
        else if (auto* e = qobject_cast<QLineEdit*>(b.control))
            source_.setField(std::size_t(pos), fieldValue(def, e->text()));
        else if (auto* c = qobject_cast<QCheckBox*>(b.control)) {
            if (def.type == store::FieldType::Logical)
                source_.setField(std::size_t(pos), store::Value(c->isChecked()));
            else
                source_.setField(std::size_t(pos),
                                 fieldValue(def, c->isChecked() ? QStringLiteral("1") : QStringLiteral("0")));
        } else if (auto* t = qobject_cast<QTextEdit*>(b.control))
            source_.setField(std::size_t(pos), fieldValue(def, t->toPlainText()));
        else if (auto* p = qobject_cast<QPlainTextEdit*>(b.control))
            source_.setField(std::size_t(pos), fieldValue(def, p->toPlainText()));
    }
}

void Binding::save(bool runHook) {
    write();
    source_.update(runHook);
}

}  // namespace ui
