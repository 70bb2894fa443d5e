// The annexes window's GUI tests: a temporary data directory, a stand-in main window, scripted boxes.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "annexes/anexos.h"
#include "store/database.h"
#include "store/datadir.h"
#include "store/dbf.h"
#include "ui/datagrid.h"
#include "ui/mainwindow.h"
#include "ui/messagebox.h"

namespace anexostest {

using store::Value;

struct MainWindowStub : ui::MainWindow {
    ui::MainWindowState shown;
    ui::MainWindowState state() const override { return shown; }
};

class AnexosTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        dir_ = std::filesystem::path(tmp_.path().toStdString());
        store::ensureDataDirectory(dir_);
        auto boxes = std::make_unique<ui::ScriptedMessageBoxes>();
        boxes_ = boxes.get();
        previous_ = ui::MessageBoxService::install(std::move(boxes));
    }
    void TearDown() override {
        close();
        ui::MessageBoxService::install(std::move(previous_));
    }

    // Appends a row to a table, fields by name.
    void append(const char* table, const std::map<std::string, Value>& values) {
        auto t = store::DbfTable::open(dir_ / (std::string(table) + ".dbf"));
        store::Row row(t->fields().size());
        for (const auto& [name, v] : values) {
            const int pos = t->fieldIndex(name);
            ASSERT_GE(pos, 0) << name;
            row[static_cast<std::size_t>(pos)] = v;
        }
        t->append(row);
    }
    void sector(int idsector, const char* clave, const char* descripcion = "SECTOR") {
        append("sector",
               {{"IDSECTOR", Value(idsector)}, {"CVE_SECTOR", Value(clave)}, {"DESCRIPCIO", Value(descripcion)}});
    }
    // A goods row: TIPO_PROGR, ANEXO, TIPOBIEN, IDSECTOR, FRACCION.
    void good(int tipo, int anexo, int bien, const char* sec, const std::string& fraccion) {
        append("mercbi", {{"TIPO_PROGR", Value(tipo)},
                          {"ANEXO", Value(anexo)},
                          {"TIPOBIEN", Value(bien)},
                          {"IDSECTOR", Value(sec)},
                          {"FRACCION", Value(fraccion)}});
    }
    // Empties a table (the shipped empty one comes back).
    void empty(const char* table) {
        close();
        std::filesystem::remove(dir_ / (std::string(table) + ".dbf")), store::ensureDataDirectory(dir_);
    }

    // Opens the window, shown and active, on the main window's type, Combo1 index and maquila number and year.
    void open(const char* tipoProg = "3", int combo1 = 0, const char* numMaquila = "", const char* anoMaquila = "") {
        close();
        main_.shown.TipoProg = QString::fromUtf8(tipoProg);
        main_.shown.Combo1Index = combo1;
        main_.shown.txtnummaquila = QString::fromUtf8(numMaquila);
        main_.shown.txtañomaquila = QString::fromUtf8(anoMaquila);
        db_ = std::make_unique<store::Database>(dir_);
        win_ = std::make_unique<annexes::Anexos>(*db_, main_);
        win_->show(), win_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(win_.get()));
        settle();
        opening_ = boxes_->shown(), boxes_->clear();
    }
    void close() {
        if (win_)
            win_->hide();
        win_.reset(), db_.reset();
    }

    void tab(int index) { win_->Anexosf->setCurrentIndex(index), settle(); }
    void tabOf(int goodsGrid) { tab(goodsGrid == 2 ? 1 : 0); }
    ui::DataGrid* goods(int g) const { return win_->dbganexo(g); }
    ui::DataGrid* sectors(int index) const { return win_->grdMercyProd[std::size_t(index)]; }

    static void settle() {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
    static void focus(QWidget* c) { c->setFocus(Qt::TabFocusReason), settle(); }
    // Puts the cell pointer on a cell of a grid that has the focus.
    static void cell(ui::DataGrid* g, int row, int column) {
        focus(g);
        g->setCurrentIndex(g->model()->index(row, column)), settle();
    }
    // Keys to whatever has the focus, letting queued keystrokes arrive.
    static void keys(const QString& text) {
        for (QChar ch : text)
            QTest::keyClicks(QApplication::focusWidget(), QString(ch)), settle();
    }
    static void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), k, m), settle();
    }
    // Types into cells of row 0, column by column.
    static void typeRow(ui::DataGrid* g, std::initializer_list<std::pair<int, const char*>> cells) {
        for (const auto& [column, text] : cells)
            cell(g, 0, column), keys(QString::fromUtf8(text));
    }

    // The boxes shown since the last clear, as "text|title|critical" lines.
    QString shown() const {
        QStringList out;
        for (const auto& b : boxes_->shown())
            out << b.text + "|" + b.title + (b.icon == ui::Icon::Critical ? "|critical" : "");
        return out.join('\n');
    }

    // One field of every live row, as text.
    std::vector<std::string> column(const char* table, const char* field) const {
        auto t = store::DbfTable::open(dir_ / (std::string(table) + ".dbf"));
        const auto pos = static_cast<std::size_t>(t->fieldIndex(field));
        std::vector<std::string> out;
        for (std::size_t r = 0; r < t->recordCount(); ++r)
            if (!t->isDeleted(r))
                out.push_back(t->read(r, pos).toString());
        return out;
    }

    QTemporaryDir tmp_;
    std::filesystem::path dir_;
    ui::ScriptedMessageBoxes* boxes_ = nullptr;
    std::vector<ui::ShownBox> opening_;  // boxes shown while the window opened
    std::unique_ptr<ui::MessageBoxService> previous_;
    MainWindowStub main_;
    std::unique_ptr<store::Database> db_;
    std::unique_ptr<annexes::Anexos> win_;
};

}  // namespace anexostest
