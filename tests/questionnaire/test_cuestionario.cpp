// The questionnaire builder over real tables in a scratch data directory:
// whole documents against golden files, and the sector walk's edge cases.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>

#include "questionnaire/cuestionario.h"
#include "store/datadir.h"
#include "store/dbf.h"
#include "ui/codedcombo.h"
#include "ui/formwindow.h"
#include "ui/layouts/form1.h"
#include "ui/maskededit.h"

namespace {

using store::Row;
using store::Value;
const Value null{};

Row sector(int id, Value key, Value desc) { return {Value(id), key, desc}; }
// A mercbi row: its sector key, programme type, fraction (printed), annex and kind.
Row good(Value key, int progr, Value fraction, int anexo, int kind) {
    Row r(13);
    r[0] = key, r[1] = Value(progr), r[2] = fraction, r[3] = Value(anexo), r[4] = Value("DESCRIPCION"), r[12] = Value(kind);
    return r;
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
    void add(const char* table, const std::vector<Row>& rows) {
        auto t = store::DbfTable::open(dir_ / (std::string(table) + ".dbf"));
        for (const Row& r : rows) t->append(r);
    }
    questionnaire::Questionnaire build() {
        db_ = std::make_unique<store::Database>(dir_);
        for (auto [ds, table] : {std::pair{&plants_, "catdirpl"}, {&sectors_, "sector"}, {&goods_, "mercbi"},
                                 {&producers_, "prodabas"}}) {
            ds->reset(new store::DataSource(*db_, "dBASE III;", table));
            (*ds)->refresh();
        }
        questionnaire::Sources src{*plants_, *sectors_, *goods_, *producers_};
        return questionnaire::ArmaCuestionario(state_, src);
    }
    // The programme text: what stands between an empty plants block and the declaration.
    QString programme() {
        const QString doc = build().text;
        const QString before = QStringLiteral("PLANTAS\n\n\n"), after = QStringLiteral("\n\n\n\n         MANIFIESTO");
        const auto from = doc.indexOf(before) + before.size();
        return doc.mid(from, doc.lastIndexOf(after) - from);
    }
    void expectGolden(const QString& name, const QString& text) {
        QFile f(QStringLiteral(ZELTAR_TEST_DIR "/questionnaire/golden/") + name + QStringLiteral(".txt"));
        if (qEnvironmentVariableIsSet("ZELTAR_UPDATE_GOLDEN")) {
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(text.toUtf8());
            return;
        }
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_EQ(QString::fromUtf8(f.readAll()).toStdString(), text.toStdString());
    }

    QTemporaryDir tmp_;
    std::filesystem::path dir_;
    questionnaire::MainWindowState state_;
    std::unique_ptr<store::Database> db_;
    std::unique_ptr<store::DataSource> plants_, sectors_, goods_, producers_;
};

// The main window's displayed texts go in as they stand, through readMainWindow.
TEST_F(CuestionarioTest, BothSectionsWithGoodsFromTheMainWindow) {
    ui::FormWindow main(ui::form1Layout());
    for (const char* name : {"Combo1", "cmbActividad", "Combo5"}) {
        auto* c = main.as<ui::CodedComboBox>(QString::fromLatin1(name));
        ASSERT_NE(c, nullptr) << name;
        c->addCoded(QStringLiteral("PRIMERO ") + QString::fromLatin1(name), 1);
        c->addCoded(QString::fromUtf8("Ampliación"), 2);
    }
    main.as<ui::MaskedEdit>(QStringLiteral("MaskEdBox1"))->setMaskedText(QStringLiteral(" ABC8501"));
    for (const char* name : {"txtProg1", "txtProg2", "txtApePat1", "txtCalle", "txtColonia", "txtCP", "txtEstado",
                             "txtCiudad", "txtDelMun", "txtTelefono", "txtfax", "txtEmail1", "txtacredita",
                             "txtApePatR2", "txtApeMatR2", "txtNombreR2", "txtTelefonoR2", "txtFaxR2", "EMAILREP"})
        main.as<QLineEdit>(QString::fromLatin1(name))->setText(QStringLiteral(" <") + QString::fromLatin1(name) + "> ");
    main.as<QCheckBox>(QStringLiteral("chkProdFinal"))->setChecked(true);
    main.as<QCheckBox>(QStringLiteral("chkrodIndirecto"))->setChecked(true);
    const QLocale locale = state_.locale;
    state_ = questionnaire::readMainWindow(main);
    EXPECT_EQ(state_.combo1Index, 0);
    EXPECT_EQ(state_.text(QStringLiteral("MaskEdBox1")), QStringLiteral(" ABC8501     "));
    state_.today = QDate(2026, 1, 9);
    state_.locale = locale;

    add("catdirpl", {{Value("AV UNO 1"), Value("01000"), Value("CENTRO"), Value("CDMX"), Value("CUAUHTEMOC"),
                      Value("MEXICO"), Value("5550001"), Value("5550002")},
                     {Value("CALLE DOS"), null, Value(" COL"), null, null, null, null, Value("5559999")}});
    add("sector", {sector(1, "X", "ELECTRONICA"), sector(2, "V", "TEXTIL"), sector(1, "IIa", "AUTOMOTRIZ"),
                   sector(1, null, "SIN CLAVE"), sector(2, "XIXc", "QUIMICA")});
    add("mercbi", {good("X", 1, "85340001", 1, 2), good("X", 1, "84713001", 1, 1), good("IIa", 1, "87032301", 1, 1),
                   good("X", 1, "84713000", 1, 1), good("V", 2, "52081101", 2, 2), good("XIXc", 2, "29000001", 2, 2),
                   good("XIXc", 2, "29000002", 2, 2), good(null, 1, "39269099", 1, 1)});
    add("prodabas", {{Value("Z1"), Value("PROVEEDOR UNO SA"), Value(" PUN850101AB1"), null},
                     {null, null, Value(" PDO900202CD2"), null}});
    const auto q = build();
    EXPECT_EQ(q.titleLength, q.text.indexOf(QStringLiteral("\n\nTIPO DE TRAMITE")) + 1);
    expectGolden(QStringLiteral("both_sections"), q.text);
    // Left where the walks stopped, on the statements of the last section.
    EXPECT_EQ(sectors_->recordSource(), "select * from sector where cve_sector <> Null and (idsector = 2) order by idsector, cve_sector");
    EXPECT_TRUE(sectors_->eof() && plants_->eof() && producers_->eof() && goods_->eof());
}

TEST_F(CuestionarioTest, ExtensionListsGoodsOfSectorXOnly) {
    state_.combo1Index = 1;
    state_.texts = {{"Combo1", QString::fromUtf8("Ampliación")}, {"txtEstado", "JALISCO"}};
    state_.chkProdFinal = true;
    add("sector", {sector(1, "I", "UNO"), sector(1, "X", "DIEZ"), sector(1, "XV", "QUINCE")});
    add("mercbi", {good("I", 1, "11110000", 1, 1), good("X", 1, "10100000", 1, 2), good("XV", 1, "15150000", 1, 1)});
    expectGolden(QStringLiteral("extension"), build().text);
}

TEST_F(CuestionarioTest, EmptyTablesGiveEmptyLists) {
    state_.chkProdFinal = state_.chkrodIndirecto = true;
    expectGolden(QStringLiteral("empty_tables"), build().text);
}

TEST_F(CuestionarioTest, OtherEngineErrorsEndTheBuild) {
    state_.chkProdFinal = true;
    std::filesystem::remove(dir_ / "prodabas.dbf");
    EXPECT_THROW(build(), store::StoreError);
}

struct WalkCase {
    const char* name;
    int combo1;
    bool direct, indirect;
    std::vector<Row> sectors, goods, producers;
    const char* expected;
};

#define DIRECT "\nPRODUCTOR DIRECTO\n____________________\n"
#define INDIRECT "\nPRODUCTOR INDIRECTO\n______________________\n"
#define MERC "     MERCANCIAS A PRODUCIR\n"
#define BIENES "\n\n     BIENES A PRODUCIR\n"
#define NOTES "        NO REGISTRO MERCANCIAS\n        NO REGISTRO BIENES\n"

class SectorWalk : public CuestionarioTest, public ::testing::WithParamInterface<WalkCase> {};

TEST_P(SectorWalk, Programme) {
    const WalkCase& c = GetParam();
    state_.combo1Index = c.combo1;
    state_.chkProdFinal = c.direct;
    state_.chkrodIndirecto = c.indirect;
    add("sector", c.sectors);
    add("mercbi", c.goods);
    add("prodabas", c.producers);
    EXPECT_EQ(programme().toStdString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SectorWalk, ::testing::Values(
    WalkCase{"NeitherBox", 0, false, false, {sector(1, "I", "A")}, {good("I", 1, "1", 1, 1)}, {}, ""},
    WalkCase{"SectorWithoutGoodsBetweenTwo", 0, true, false,
             {sector(1, "I", "A"), sector(1, "V", "B"), sector(1, "X", "C")},
             {good("I", 1, "11", 1, 1), good("X", 1, "22", 1, 2)}, {},
             DIRECT "\n\nSECTOR I     A\n\n" MERC "       11        NO REGISTRO BIENES\n"
             "\n\nSECTOR V     B\n\n" MERC NOTES "\n\nSECTOR X     C\n\n" MERC BIENES "       22"},
    WalkCase{"UnknownSectorsSkipped", 0, true, false, {sector(1, "V", "B")},
             {good("I", 1, "11", 1, 1), good("V", 1, "55", 1, 2), good("V", 1, "56", 1, 2), good("XV", 1, "15", 1, 1)}, {},
             DIRECT "\n\nSECTOR V     B\n\n" MERC BIENES "       55       56        NO REGISTRO MERCANCIAS\n"},
    WalkCase{"SectorsAfterTheLastGoods", 0, true, false,
             {sector(1, "I", "A"), sector(1, "V", "B"), sector(1, "X", "C")}, {good("I", 1, "11", 1, 1)}, {},
             DIRECT "\n\nSECTOR I     A\n\n" MERC "       11\n\nSECTOR V     B\n\n" MERC NOTES
             "\n\nSECTOR X     C\n\n" MERC NOTES},
    WalkCase{"NoGoodsAtAll", 0, true, true, {sector(1, "I", "A"), sector(2, "V", "B")}, {}, {},
             DIRECT "\n\nSECTOR I     A\n\n" MERC NOTES INDIRECT "\nSECTOR V     B\n" NOTES},
    WalkCase{"LastGoodsKeyCarriedIntoIndirect", 0, true, true,
             {sector(1, "X", "C"), sector(2, "V", "B"), sector(2, "X", "C"), sector(2, "XV", "D")},
             {good("X", 1, "10", 1, 1)}, {},
             DIRECT "\n\nSECTOR X     C\n\n" MERC "       10" INDIRECT
             "\nSECTOR V     B\n\nSECTOR X     C\n\nSECTOR XV     D\n" NOTES},
    WalkCase{"IndirectClosesWithNotes", 0, false, true, {sector(2, "V", "B"), sector(2, "X", "C")},
             {good("V", 2, "55", 2, 2), good("X", 2, "10", 2, 2), good("X", 1, "99", 1, 1)}, {},
             INDIRECT "\nSECTOR V     B\n" BIENES "       55        NO REGISTRO MERCANCIAS\n"
             "\nSECTOR X     C\n" BIENES "       10"},
    WalkCase{"ExtensionWithoutProcedureChosen", -1, true, false, {sector(1, "X", "C")}, {good("X", 1, "10", 1, 1)}, {},
             DIRECT "\n\nSECTOR X     C\n\n"},
    WalkCase{"BlanksKeptNullsPrintNothing", 0, true, false, {sector(1, " V", null)},
             {good("V", 1, null, 1, 1), good("V", 1, "5", 1, 2)},
             {{null, Value("UNO"), Value(" AAA010101AA1"), null}, {null, null, null, null}},
             DIRECT "\n\nSECTOR  V     \n\n" MERC "       " BIENES "       5"
             "\n\nREGISTRO DE PRODUCTORES INDIRECTOS\n_______________________________\n\n"
             "        RFC                     RAZON SOCIAL\n"
             "        AAA010101AA1       UNO\n"
             "              \n"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
