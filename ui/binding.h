// Bound controls: each shows a field of its data source's current row and
// writes what the operator typed into the copy buffer when the row is saved.
#pragma once

#include <QObject>
#include <QString>
#include <vector>

#include "store/datasource.h"

class QWidget;

namespace ui {

class Binding : public QObject {
    Q_OBJECT
public:
    Binding(store::DataSource& source, QObject* parent = nullptr);
    ~Binding() override;

    // Binds a text box, masked edit or check box to a field (by name).
    void bind(QWidget* control, const QString& field);

    // Shows the current row in every bound control (done on every change of
    // the data source too). An empty set shows empty controls.
    void read();
    // Writes every bound control into the copy buffer (adding or editing).
    // Throws store::StoreError for a value that cannot be stored.
    void write();
    // Writes the bound controls and saves the row (DataSource::update).
    void save(bool runHook = true);

    store::DataSource& source() { return source_; }

private:
    struct Bound {
        QWidget* control;
        QString field;
    };
    store::DataSource& source_;
    std::vector<Bound> bound_;
    int listener_ = 0;
    bool reading_ = false;
    bool writing_ = false;  // the copy buffer is being filled: no re-read meanwhile
};

// The value that a field takes from a control's text: a number field gets the
// text's number (null when blank), a date field YYYYMMDD, a logical field T/F.
// Throws store::StoreError for text that the field cannot take.
store::Value fieldValue(const store::FieldDef& field, const QString& text);
// The text a control shows for a value.
QString displayText(const store::Value& value);

}  // namespace ui
