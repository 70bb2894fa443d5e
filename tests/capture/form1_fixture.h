// Shared set-up of the main window's GUI tests: a data directory in a
// temporary folder with small catalogues, scripted message boxes, and the
// window shown and active on the offscreen platform.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "capture/form1.h"
#include "store/database.h"
#include "store/datadir.h"
#include "store/dbf.h"
#include "store/schema.h"
#include "ui/binding.h"
#include "ui/codedcombo.h"
#include "ui/datagrid.h"
#include "ui/maskededit.h"
#include "ui/messagebox.h"

namespace form1test {

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        dir_ = std::filesystem::path(tmp_.path().toStdString());
        store::ensureDataDirectory(dir_);
        // Three offices and three activities.
        using store::Value;
        replaceCatalogue("admlocal", {{Value(10), Value("OFICINA NORTE")}, {Value(20), Value("OFICINA CENTRO")},
                                      {Value(30), Value("OFICINA SUR")}});
        replaceCatalogue("activida", {{Value(311010), Value(), Value("ALIMENTOS")}, {Value(311020), Value(), Value("HARINAS")},
                                      {Value(311030), Value(), Value("TORTILLAS")}});
        auto boxes = std::make_unique<ui::ScriptedMessageBoxes>();
        boxes_ = boxes.get();
        previous_ = ui::MessageBoxService::install(std::move(boxes));
    }
    void TearDown() override {
        if (form_) form_->hide();
        form_.reset();
        db_.reset();
        ui::MessageBoxService::install(std::move(previous_));
    }

    void replaceCatalogue(const std::string& name, const std::vector<store::Row>& rows) {
        const auto file = dir_ / (name + ".dbf");
        std::filesystem::remove(file);
        store::DbfTable::createWithRows(file, store::tableLayout(name).fields, rows);
    }

    // Appends a datoprov row with the given fields (by name); the others stay empty.
    void writeDatoprov(const std::map<std::string, store::Value>& values) {
        auto table = store::DbfTable::open(dir_ / "datoprov.dbf");
        store::Row row(table->fields().size());
        for (const auto& [name, v] : values) {
            const int pos = table->fieldIndex(name);
            ASSERT_GE(pos, 0) << name;
            row[static_cast<std::size_t>(pos)] = v;
        }
        table->append(row);
    }

    // A record as a saved application has it: a company RFC, Ampliación, the
    // second office and activity.
    std::map<std::string, store::Value> filledRecord() const {
        return {{"RFC", store::Value(" ABC850101XY1")}, {"PROG1P", store::Value("2001")}, {"PROG2P", store::Value("15")},
                {"APEPATRAZ", store::Value("EMPRESA SA")}, {"TIPOTRAM", store::Value(2)},
                {"CVEACTIVID", store::Value(311020)},      {"CVEADMLOC", store::Value(20)},
                {"TIPOPROG", store::Value(1)},             {"NUMMAQUILA", store::Value(0)},
                {"ANOMAQUILA", store::Value(0)}};
    }

    // Opens the window on the data directory, shown and active.
    void open() {
        db_ = std::make_unique<store::Database>(dir_);
        form_ = std::make_unique<capture::Form1>(*db_);
        ASSERT_FALSE(form_->loadFailed());
        form_->show();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    }

    QWidget* w(const char* name, int index = -1) const {
        QWidget* c = form_->control(QString::fromUtf8(name), index);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QLineEdit* edit(const char* name) const { return qobject_cast<QLineEdit*>(w(name)); }

    // Gives a control the focus and lets the events run.
    void focus(QWidget* c) {
        c->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        QApplication::processEvents();
    }
    // Types into a control as the operator would (through the window's key
    // rules), letting queued keystrokes arrive after each key.
    void type(QWidget* c, const QString& text) {
        focus(c);
        for (QChar ch : text) {
            typeChar(c, ch);
            QApplication::processEvents();
        }
    }
    // One character as a key press; beyond ASCII the key is the letter's
    // upper-case code, as a keyboard reports it.
    static void typeChar(QWidget* c, QChar ch) {
        if (ch.unicode() < 0x80) return QTest::keyClicks(c, QString(ch));
        const auto key = static_cast<Qt::Key>(ch.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, c, key, QString(ch), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, c, key, QString(ch), Qt::NoModifier);
    }
    void settle() {
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
    }

    // The live rows of catdirpl and the first row of datoprov, read from their files.
    std::vector<store::Row> plantRows() const {
        auto table = store::DbfTable::open(dir_ / "catdirpl.dbf");
        std::vector<store::Row> rows;
        for (std::size_t r = 0; r < table->recordCount(); ++r)
            if (!table->isDeleted(r)) rows.push_back(table->read(r));
        return rows;
    }
    store::Row datoprovRow() const {
        auto table = store::DbfTable::open(dir_ / "datoprov.dbf");
        return table->recordCount() ? table->read(0) : store::Row{};
    }

    QTemporaryDir tmp_;
    std::filesystem::path dir_;
    ui::ScriptedMessageBoxes* boxes_ = nullptr;
    std::unique_ptr<ui::MessageBoxService> previous_;
    std::unique_ptr<store::Database> db_;
    std::unique_ptr<capture::Form1> form_;
};

} // namespace form1test
