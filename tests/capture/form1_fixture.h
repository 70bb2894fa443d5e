// The main window's tests: the checks' texts, small catalogues in a temporary directory, scripted boxes.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <tuple>

#include "capture/form1.h"
#include "store/database.h"
#include "store/datadir.h"
#include "store/dbf.h"
#include "store/schema.h"
#include "ui/codedcombo.h"
#include "ui/datagrid.h"
#include "ui/maskededit.h"
#include "ui/messagebox.h"

namespace texts {
inline const char* const kLen = "El RFC no puede ser menor de 13";
inline const char* const kFirst = "El primer digito del RFC debe espacio ";
inline const char* const kL2 = "El  2 digito del RFC debe ser letra ";
inline const char* const kL3 = "El  3 digito del RFC debe ser letra ";
inline const char* const kMonth = "El valor del mes del RFC es incorrecto";
inline const char* const kDay = "El valor del dia del RFC es incorrecto";
inline const char* const kLast = "El ultimo digito del RFC debe ser A ó del 0 al 9";
inline const char* const kTipo = "Seleccione un tipo de programa";
inline const char* const kBothMissing = "Es necesario el año y número de programa";
inline const char* const kYearZero = "El año de zeltar no puede ser cero";
inline const char* const kYearBefore1980 = "El año de zeltar no puede ser menor a 1980";
inline const char* const kNumberZero = "El número de zeltar no puede ser cero";
// ValidaRequeridos, in the order it shows them (index 0 unused).
inline const char* const kReq[14] = {
    nullptr,
    "El año del registro ZELTAR es un dato requerido",
    "El numero del registro ZELTAR es un dato requerido",
    "La razón social de la empresa es un dato requerido",
    "La calle de la empresa es un dato requerido",
    "El codigo postal de la empresa es un dato requerido",
    "La colonia de la empresa es un dato requerido",
    "El telefono de la empresa es un dato requerido",
    "La administracion de recaudación de la empresa es un dato requerido",
    "El tipo de programa de la empresa es un dato requerido",
    "El nombre del representante legal es un dato requerido",
    "El cargo del representante legal es un dato requerido",
    "El Telefono del representante legal es un dato requerido",
    "El email del representante legal es un dato requerido",
};
}  // namespace texts

namespace form1test {

using store::Value;

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::path(tmp_.path().toStdString());
        store::ensureDataDirectory(dir_);
        auto catalogue = [this](const std::string& name, const std::vector<store::Row>& rows) {
            std::filesystem::remove(dir_ / (name + ".dbf"));
            store::DbfTable::createWithRows(dir_ / (name + ".dbf"), store::tableLayout(name).fields, rows);
        };
        catalogue("admlocal", {{Value(10), Value("OFICINA NORTE")},
                               {Value(20), Value("OFICINA CENTRO")},
                               {Value(30), Value("OFICINA SUR")}});
        catalogue("activida", {{Value(311010), Value(), Value("ALIMENTOS")},
                               {Value(311020), Value(), Value("HARINAS")},
                               {Value(311030), Value(), Value("TORTILLAS")}});
        boxes_ = new ui::ScriptedMessageBoxes;
        previous_ = ui::MessageBoxService::install(std::unique_ptr<ui::ScriptedMessageBoxes>(boxes_));
    }
    void TearDown() override { close(), ui::MessageBoxService::install(std::move(previous_)); }
    // Appends a datoprov row with the given fields (by name); the others stay empty.
    void writeDatoprov(const std::map<std::string, Value>& values) {
        auto table = store::DbfTable::open(dir_ / "datoprov.dbf");
        store::Row row(table->fields().size());
        for (const auto& [name, v] : values)
            row.at(std::size_t(table->fieldIndex(name))) = v;  // a wrong name throws
        table->append(row);
    }
    void append(const char* table, const std::vector<store::Row>& rs, bool deleted = false) {
        auto t = store::DbfTable::open(dir_ / (std::string(table) + ".dbf"));
        for (const auto& r : rs) {
            const std::size_t n = t->append(r);
            if (deleted)
                t->markDeleted(n);
        }
    }
    // A saved application: a company RFC, Ampliación, the second office and activity.
    std::map<std::string, Value> filledRecord() const {
        return {{"RFC", Value(" ABC850101XY1")}, {"PROG1P", Value("2001")},
                {"PROG2P", Value("15")},         {"APEPATRAZ", Value("EMPRESA SA")},
                {"TIPOTRAM", Value(2)},          {"CVEACTIVID", Value(311020)},
                {"CVEADMLOC", Value(20)},        {"TIPOPROG", Value(1)},
                {"NUMMAQUILA", Value(0)},        {"ANOMAQUILA", Value(0)}};
    }
    // An application complete enough for the disk.
    std::map<std::string, Value> completeRecord() const {
        auto record = filledRecord();
        const char* const more[][2] = {{"CALLEYNO", "REFORMA 10"}, {"CP", "06000"},          {"COLONIA", "CENTRO"},
                                       {"TELEFONO", "5556"},       {"NOMBREREPL", "ANA"},    {"CARGO", "DIRECTORA"},
                                       {"TEL_REPREG", "5557"},     {"EMAILREPL", "ana@x.mx"}};
        for (const auto& [field, value] : more)
            record[field] = Value(value);
        return record;
    }
    // The only box shown, as the operator saw it.
    void expectBox(const QString& text, const QString& title, ui::Icon icon, ui::Buttons buttons) const {
        ASSERT_EQ(boxes_->shown().size(), 1u) << boxes_->texts().join('|').toStdString();
        const ui::ShownBox& b = boxes_->shown()[0];
        EXPECT_EQ(std::tie(b.text, b.title, b.icon, b.buttons), std::tie(text, title, icon, buttons));
    }
    void open() {
        db_ = std::make_unique<store::Database>(dir_);
        form_ = std::make_unique<capture::Form1>(*db_);
        ASSERT_FALSE(form_->loadFailed());
        form_->show();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    }
    // A fresh datoprov, holding the record given if any, and the window on it.
    void restart(const std::optional<std::map<std::string, Value>>& record = std::nullopt) {
        close();
        std::filesystem::remove(dir_ / "datoprov.dbf");
        store::ensureDataDirectory(dir_);
        if (record)
            writeDatoprov(*record);
        open();
    }
    void close() {
        if (form_)
            form_->hide();
        form_.reset(), db_.reset();
    }
    QWidget* w(const char* name, int index = -1) const {
        QWidget* c = form_->control(QString::fromUtf8(name), index);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QLineEdit* edit(const char* name) const { return qobject_cast<QLineEdit*>(w(name)); }
    QAbstractButton* button(int i) const { return qobject_cast<QAbstractButton*>(w("Command1", i)); }
    void click(int i) {  // as the operator would: only an enabled button
        ASSERT_TRUE(button(i)->isEnabled()) << i;
        button(i)->click();
        settle();
    }
    void setRfc(const QString& t) { form_->MaskEdBox1->setMaskedText(t); }
    void focus(QWidget* c) { c->setFocus(Qt::TabFocusReason), settle(); }
    // A key to whatever has the focus (a grid passes keys on to its cell editor).
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(k), m);
        settle();
    }
    // Types into whatever has the focus through the window's key rules, letting queued keystrokes arrive. Beyond
    // ASCII the key is the letter's upper-case code, as a keyboard reports it.
    static void typeHere(const QString& text) {
        for (QChar ch : text) {
            QWidget* c = QApplication::focusWidget();
            if (ch.unicode() < 0x80)
                QTest::keyClicks(c, QString(ch));
            for (auto action : {QTest::Press, QTest::Release})
                if (ch.unicode() >= 0x80)
                    QTest::sendKeyEvent(action, c, static_cast<Qt::Key>(ch.toUpper().unicode()), QString(ch), {});
            settle();
        }
    }
    static void settle() {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
    // The rows of a table as its file holds them (deleted ones left out).
    std::vector<store::Row> rows(const char* table) const {
        auto t = store::DbfTable::open(dir_ / (std::string(table) + ".dbf"));
        std::vector<store::Row> out;
        for (std::size_t r = 0; r < t->recordCount(); ++r)
            if (!t->isDeleted(r))
                out.push_back(t->read(r));
        return out;
    }

    QTemporaryDir tmp_;
    std::filesystem::path dir_;
    ui::ScriptedMessageBoxes* boxes_ = nullptr;
    std::unique_ptr<ui::MessageBoxService> previous_;
    std::unique_ptr<store::Database> db_;
    std::unique_ptr<capture::Form1> form_;
};

}  // namespace form1test
