// The questionnaire builder over real tables in a scratch data directory.
// Each folder of golden/ is one case: input.txt gives the window's state and
// the table rows, expected.txt the whole document or programme.txt only the
// programme text (the sector walks and the producers register).
//
// input.txt lines: "text NAME=VALUE", "combo1 N", "direct", "indirect", and
// "TABLE|v|v|..." rows by position (an empty value is null); a mercbi row
// gives positions 0 to 3 and then 12. Set ZELTAR_UPDATE_GOLDEN to rewrite.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "questionnaire/cuestionario.h"
#include "store/datadir.h"
#include "store/dbf.h"
#include "store/schema.h"
#include "ui/codedcombo.h"
#include "ui/formwindow.h"
#include "ui/layouts/form1.h"
#include "ui/maskededit.h"

namespace {

const QString goldenDir = QStringLiteral(ZELTAR_TEST_DIR "/questionnaire/golden/");

QString readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

class CuestionarioTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        dir_ = tmp_.path().toStdString();
        store::ensureDataDirectory(dir_);
        state_.today = QDate(2026, 12, 6);
        state_.locale = QLocale(QLocale::Spanish, QLocale::Mexico);
    }
    void load(const QString& input) {
        for (const QString& line : input.split(u'\n')) {
            if (line.startsWith(u"text ")) {
                const auto eq = line.indexOf(u'=');
                state_.texts[line.mid(5, eq - 5)] = line.mid(eq + 1);
            } else if (line.startsWith(u"combo1 ")) {
                state_.combo1Index = line.mid(7).toInt();
            } else if (line == u"direct" || line == u"indirect") {
                (line == u"direct" ? state_.chkProdFinal : state_.chkrodIndirecto) = true;
            } else if (line.contains(u'|')) {
                QStringList v = line.split(u'|');
                const std::string table = v.takeFirst().toStdString();
                auto t = store::DbfTable::open(dir_ / (table + ".dbf"));
                const auto& fields = store::tableLayout(table).fields;
                store::Row row(fields.size());
                for (qsizetype i = 0; i < v.size(); ++i) {
                    const std::size_t pos = table == "mercbi" && i == 4 ? 12 : std::size_t(i);
                    if (v[i].trimmed().isEmpty()) continue;
                    row[pos] = fields[pos].type == store::FieldType::Numeric ? store::Value(v[i].toDouble())
                                                                             : store::Value(v[i].toStdString());
                }
                t->append(row);
            }
        }
    }
    questionnaire::Questionnaire build() {
        db_ = std::make_unique<store::Database>(dir_);
        for (auto [ds, table] : {std::pair{&plants_, "catdirpl"}, {&sectors_, "sector"}, {&goods_, "mercbi"},
                                 {&producers_, "prodabas"}}) {
            ds->reset(new store::DataSource(*db_, "dBASE III;", table));
            (*ds)->refresh();
        }
        plants_->setValidateHook(plantsHook_);
        questionnaire::Sources src{*plants_, *sectors_, *goods_, *producers_};
        return questionnaire::ArmaCuestionario(state_, src);
    }

    QTemporaryDir tmp_;
    std::filesystem::path dir_;
    questionnaire::MainWindowState state_;
    store::DataSource::ValidateHook plantsHook_;
    std::unique_ptr<store::Database> db_;
    std::unique_ptr<store::DataSource> plants_, sectors_, goods_, producers_;
};

class Golden : public CuestionarioTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(Golden, Document) {
    const QString dir = goldenDir + QString::fromStdString(GetParam()) + "/";
    load(readFile(dir + "input.txt"));
    const auto q = build();
    // The title block is the document's start, up to the line feed before the application block.
    EXPECT_EQ(q.titleLength, q.text.indexOf(QStringLiteral("\n\nTIPO DE TRAMITE")) + 1);
    // Every list is walked to its end; the sectors stay on the last section's statement.
    EXPECT_TRUE(plants_->eof() && (producers_->eof() || !state_.chkProdFinal));
    if (state_.chkProdFinal || state_.chkrodIndirecto) {
        EXPECT_TRUE(sectors_->eof());
        EXPECT_NE(sectors_->recordSource().find(state_.chkrodIndirecto ? "= 2)" : "= 1)"), std::string::npos);
    }
    QString got = q.text, file = dir + "expected.txt";
    if (QFile::exists(dir + "programme.txt")) {
        // Between the empty plants block and the declaration.
        const QString before = QStringLiteral("PLANTAS\n\n\n"), after = QStringLiteral("\n\n\n\n         MANIFIESTO");
        const auto from = got.indexOf(before) + before.size();
        got = got.mid(from, got.lastIndexOf(after) - from);
        file = dir + "programme.txt";
    }
    if (qEnvironmentVariableIsSet("ZELTAR_UPDATE_GOLDEN")) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(got.toUtf8());
    }
    EXPECT_EQ(got.toStdString(), readFile(file).toStdString());
}

std::vector<std::string> goldenCases() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(goldenDir.toStdString()))
        if (e.is_directory()) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(goldenCases()),
                         [](const auto& info) { return info.param; });

TEST_F(CuestionarioTest, OtherEngineErrorsEndTheBuild) {
    state_.chkProdFinal = true;
    std::filesystem::remove(dir_ / "prodabas.dbf");
    EXPECT_THROW(build(), store::StoreError);
}

// A walk over a data source whose hook refuses to move would never end.
TEST_F(CuestionarioTest, RefusedMoveEndsTheBuild) {
    load(QStringLiteral("catdirpl|UNO\ncatdirpl|DOS"));
    plantsHook_ = [](store::Action a, bool& cancel) { cancel = a == store::Action::MoveNext; };
    EXPECT_THROW(build(), store::StoreError);
}

// What the main window shows is what goes in: unsaved, untrimmed, the RFC in all 13 positions.
TEST(ReadMainWindow, TakesTheDisplayedTexts) {
    ui::FormWindow main(ui::form1Layout());
    for (const char* name : {"Combo1", "cmbActividad", "Combo5"}) {
        auto* c = main.as<ui::CodedComboBox>(QString::fromLatin1(name));
        c->addCoded(QStringLiteral("PRIMERO"), 1);
        c->addCoded(QString::fromLatin1(name), 2);
        c->setCurrentIndex(1);
    }
    main.as<ui::MaskedEdit>(QStringLiteral("MaskEdBox1"))->setMaskedText(QStringLiteral(" ABC8501"));
    main.as<QLineEdit>(QStringLiteral("txtacredita"))->setText(QStringLiteral(" 1.6 "));
    main.as<QLineEdit>(QStringLiteral("EMAILREP"))->setText(QStringLiteral("rep@x.mx"));
    main.as<QCheckBox>(QStringLiteral("chkrodIndirecto"))->setChecked(true);
    const auto s = questionnaire::readMainWindow(main);
    EXPECT_EQ(s.combo1Index, 1);
    EXPECT_FALSE(s.chkProdFinal);
    EXPECT_TRUE(s.chkrodIndirecto);
    EXPECT_EQ(s.texts.size(), 23u);
    for (auto [name, text] : {std::pair{"Combo1", "Combo1"}, {"cmbActividad", "cmbActividad"}, {"Combo5", "Combo5"},
                              {"MaskEdBox1", " ABC8501     "}, {"txtacredita", " 1.6 "}, {"EMAILREP", "rep@x.mx"},
                              {"txtApePat1", ""}})
        EXPECT_EQ(s.text(QString::fromLatin1(name)), QString::fromLatin1(text)) << name;
}

} // namespace
