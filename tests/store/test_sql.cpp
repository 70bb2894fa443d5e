// The statement evaluator and the data sources the windows read and write through.
#include <gtest/gtest.h>

#include "dbf_test_util.h"
#include "store/database.h"
#include "store/datasource.h"
#include "store/sql.h"

using namespace fixture;
using store::Action;
using store::Database;
using store::DataSource;
using D = store::DataSource;
using store::EditMode;
using store::NoCurrentRecord;
using store::Statement;
using store::StoreError;
using Records = std::vector<std::size_t>;
using Actions = std::vector<Action>;

namespace {

class Statements : public ::testing::Test {
protected:
    void SetUp() override { writeTables(dir.path()); }
    Statement::Result run(const std::string& text) {
        const Statement st = Statement::parse(text);
        return st.evaluate(db.table(st.tableName()));
    }
    DataSource open(const char* source, const char* connect = "dBASE III;") {
        DataSource ds(db, connect, source);
        ds.refresh();
        return ds;
    }
    // A new row (or with &D::edit, the current one) given these fields, saved unless told otherwise.
    static void add(DataSource& ds, std::initializer_list<std::pair<const char*, Value>> fields, bool save = true,
                    void (D::*start)() = &D::addNew) {
        (ds.*start)();
        for (const auto& [name, v] : fields)
            ds.setField(name, v);
        if (save)
            ds.update();
    }
    std::unique_ptr<store::DbfTable> reopen(const char* file) { return store::DbfTable::open(dir / file); }

    ScratchDir dir;
    Database db{dir.path()};
};
class DataSources : public Statements {};

const char* const kIndirect = "select * from sector where idsector = 2 order by cve_sector ";  // records 6 1 8

}  // namespace

TEST_F(Statements, TheFourteenStatementsGiveTheirRowsInOrder) {
    // The evaluator answers most rows from the stored bytes; the decoded values give the same.
    for (const StatementCase& c : kStatementCases) {
        SCOPED_TRACE(c.statement);
        EXPECT_TRUE(store::isStatement(c.statement));
        const Statement st = Statement::parse(c.statement);
        EXPECT_EQ(st.evaluate(db.table(st.tableName())).records, c.records);
        EXPECT_EQ(st.evaluate(db.table(st.tableName()), Statement::Reading::DecodedValues).records, c.records);
    }
    EXPECT_EQ(run("SELECT nombre,rfc,Nombre FROM PRODABAS").columns, (std::vector<int>{1, 2, 1}));
    for (const char* notStatement : {"sector", "selection", "Sector.dbf", ""})
        EXPECT_FALSE(store::isStatement(notStatement)) << notStatement;
    EXPECT_TRUE(store::isStatement("select*from sector"));
}

TEST_F(Statements, ComparisonsAndOrderWithNullsBlanksTextAndNumbers) {
    // Record 3's C is all blank: null. Record 4's C keeps its leading blank.
    makeTable(dir / "t.dbf", {N("N", 3), C("C", 4)}, {{null, null}, {1, "a"}, {2, "b"}, {1, "  "}, {null, " a"}});
    makeTable(dir / "mixed.dbf", {C("C", 6), N("N", 6, 2)}, {{"12", 12}, {" 7", 7.5}, {"abc", 0}, {"10", -1}});
    makeTable(dir / "acc.dbf", {C("C", 10)}, {{"ÑANDU"}, {"NUEZ"}, {"ÁGUILA"}, {"ZORRO"}, {"abeja"}});
    makeTable(dir / "long.dbf", {C("C", 40)}, {{"DESCRIPCION B"}, {"DESCRIPCIONES"}, {"DESCRIPCION A"}});
    const std::pair<const char*, std::vector<std::size_t>> cases[] = {
        {"select * from t where n = 1", {1, 3}},
        {"select * from t where n <> 1", {2}},
        {"select * from t where n < 2", {1, 3}},
        {"select * from t where n >= 1", {1, 2, 3}},
        {"select * from t where n = Null", {0, 4}},
        {"select * from t where n <> NULL", {1, 2, 3}},
        {"select * from t where n >= null", {}},
        {"select * from t where c <> 'a'", {2, 4}},
        {"select * from t where c <= 'a'", {1, 4}},
        {"select * from t where c > ' '", {1, 2, 4}},
        {"select * from t where c = ' a'", {4}},
        {"select * from t where c = Null", {0, 3}},
        {"select * from t where c = \"a  \"", {1}},
        // Not the same as "not (n = 1)": nulls fail both.
        {"select * from t where n = 1 or n <> 1", {1, 2, 3}},
        // AND binds tighter than OR; parentheses change it.
        {"select * from t where n = 2 or n = 1 and c = 'a'", {1, 2}},
        {"select * from t where ((n = 2 or n = 1)) and c = 'a'", {1}},
        // Literal first is turned around.
        {"select * from t where 2 > n", {1, 3}},
        // Nulls first ascending, last descending.
        {"select * from t order by c", {0, 3, 4, 1, 2}},
        {"select * from t order by n desc, c", {2, 3, 1, 0, 4}},
        // Text meets a number only when it reads as one.
        {"select * from mixed where c < 11", {1, 3}},
        {"select * from mixed where c <> 12", {1, 3}},  // "abc" is no number: false
        {"select * from mixed where n = '7.5'", {1}},
        {"select * from mixed where n <> 'x'", {}},
        {"select * from mixed where n > -0.5", {0, 1, 2}},
        // Text against text is by character code: "10" < "12" < "abc", " 7" first.
        {"select * from mixed order by c", {1, 3, 0, 2}},
        {"select * from mixed order by n", {3, 2, 1, 0}},
        // UTF-8 byte order is code point order: accented capitals after every plain letter.
        {"select * from acc order by c", {1, 3, 4, 2, 0}},
        {"select * from acc where c > 'Z'", {0, 2, 3, 4}},
        // Texts too long to sort by their bytes, alike in their first eight.
        {"select * from long order by c", {2, 0, 1}},
    };
    for (const auto& [statement, records] : cases) {
        SCOPED_TRACE(statement);
        EXPECT_EQ(run(statement).records, records);
    }
}

TEST_F(Statements, StatementsOutsideTheSubsetAndUnknownColumnsAreRefusedQuoted) {
    const char* refused[] = {
        "select * from sector, mercbi",
        "select count(*) from sector",
        "select * sector",
        "select * from sector where cve_sector like 'X%'",
        "select * from sector where not idsector = 1",
        "select * from sector where idsector = cve_sector",
        "select * from sector where idsector != 1",
        "select * from sector where (idsector = 1",
        "select * from sector where cve_sector = 'X",
        "select * from sector where",
        "select * from sector order idsector",
        "select from sector",
        "update sector set idsector = 1",
        "select * from sector where idsector = 1; delete from sector",
        "select * from sector where idsector = 1x",
        "select * from sector where idsector = 1.2.3",
    };
    for (const char* text : refused)
        EXPECT_TRUE(contains(errorOf([&] { run(text); }), "\"" + std::string(text) + "\""));
    // Unknown columns are found when evaluated: the layout is not known before.
    for (const char* text :
         {"select * from sector where nada = 1", "select nada from sector", "select * from sector order by nada"}) {
        const Statement st = Statement::parse(text);
        const std::string what = errorOf([&] { (void)st.evaluate(db.table("sector")); });
        EXPECT_TRUE(contains(what, text));
        EXPECT_TRUE(contains(what, "no tiene el campo nada"));
    }
}

// Stored bytes at the fast reading's edges: NUL padding, "5.", "***", exponents, 16 digits, accented and NUL text.
TEST_F(Statements, StoredBytesAndDecodedValuesAgreeOnEveryStatement) {
    auto agree = [&](const std::string& text) {
        const Statement st = Statement::parse(text);
        const store::DbfTable& table = db.table(st.tableName());
        EXPECT_EQ(st.evaluate(table).records, st.evaluate(table, Statement::Reading::DecodedValues).records) << text;
    };
    const char* c[] = {"A     ", "a     ", "      ", "\0\0\0\0\0\0", "10    ",  " 5    ",
                       "5     ", "1e1   ", "inf   ", "\245ANDU ",    "A\0B   ", "Z\0\0\0\0\0"};
    const char* n[] = {"          1.50",   "             5", "            5.", "**************",
                       "              ",   "   -0.00000000", "         +3.25", "       1.0e+01",
                       "1234567890123456", "           abc", "            -5", "             0"};
    const char* d[] = {"20240105", "        ", "00000000", "19991231", "2024013X", "20240105"};
    const char* l[] = {"T", "f", "?", " ", "x", "Y"};
    RawDbf raw{.fields = {{"C", 'C', 6}, {"N", 'N', 14, 8}, {"F", 'F', 14, 8}, {"D", 'D', 8}, {"L", 'L', 1}}};
    for (std::size_t i = 0; i < 24; ++i) {
        std::string record = i % 7 == 3 ? "*" : " ";
        record += std::string(c[i % 12], 6) + n[i % 12] + n[(i * 5 + 3) % 12] + d[i % 6] + l[(i + 1) % 6];
        raw.records.push_back(record);
    }
    writeBytes(dir / "raw.dbf", raw.bytes());
    for (const char* field : {"c", "n", "f", "d", "l"}) {
        for (const char* op : {"=", "<>", "<", ">", "<=", ">="})
            for (const char* literal :
                 {"1", "0", "-0.5", "5", "'5'", "'A'", "' 5'", "'a'", "Null", "'T'", "'20240105'"})
                agree(std::string("select * from raw where ") + field + " " + op + " " + literal);
        agree(std::string("select * from raw order by ") + field + ", c desc");
        agree(std::string("select * from raw order by ") + field + " desc, n");
    }
}

TEST_F(DataSources, ConnectStringsAndRefreshOnAnEmptySet) {
    EXPECT_NO_THROW(DataSource(db, "FoxPro 2.5;", "sector"));
    EXPECT_NO_THROW(DataSource(db, " dbase iii", "sector"));
    EXPECT_THROW(DataSource(db, "dBASE IV;", "sector"), StoreError);
    // Walking an empty set: the first move is the error that the questionnaire ignores.
    DataSource empty(db, "FoxPro 2.5;", "select * from sector where idsector = 9");
    EXPECT_TRUE(!empty.isOpen() && empty.eof());
    empty.refresh();
    EXPECT_TRUE(empty.isOpen() && empty.eof() && empty.bof() && !empty.currentRecord() && empty.recordCount() == 0);
    EXPECT_EQ(errorOf([&] { empty.field("IDSECTOR"); }), "No hay registro actual.");
    for (auto op : {&D::moveFirst, &D::moveLast, &D::moveNext, &D::movePrevious, &D::edit, &D::deleteCurrent})
        EXPECT_THROW((empty.*op)(), NoCurrentRecord);

    // Fields by name (in any case) and position follow the projection.
    DataSource projected = open("select RFC, NOMBRE from prodabas ");
    ASSERT_EQ(projected.fieldCount(), 2u);
    EXPECT_EQ(projected.fieldName(0), "RFC");
    EXPECT_EQ(projected.fieldIndex("nombre"), 1);
    EXPECT_EQ(projected.field(0), Value(" ANO010101AB1"));  // the leading blank stays
    EXPECT_EQ(projected.valueAt(1, 0), Value(" TDS030303QW3"));
    EXPECT_THROW(projected.field("SOLZELTAR"), StoreError);
    EXPECT_THROW(projected.valueAt(2, 0), StoreError);
    DataSource whole = open("PRODABAS");
    EXPECT_EQ(whole.field(3), Value(store::Date{2001, 2, 3}));
    EXPECT_EQ(whole.recordCount(), 2u);  // the deleted row is not in the set
}

TEST_F(DataSources, MovesWalkTheSetStopAtEitherEndAndGoToABookmark) {
    DataSource ds = open(kIndirect);
    std::vector<std::string> keys;  // the null key first
    for (; !ds.eof(); ds.moveNext())
        keys.push_back(ds.field("CVE_SECTOR").toString());
    EXPECT_EQ(keys, (std::vector<std::string>{"", "IIa", "XIXc"}));
    EXPECT_TRUE(ds.eof() && !ds.bof());
    EXPECT_THROW(ds.moveNext(), NoCurrentRecord);
    ds.movePrevious();
    EXPECT_EQ(ds.field(1), Value("XIXc"));
    ds.moveFirst();
    ds.movePrevious();
    EXPECT_TRUE(ds.bof() && !ds.eof());
    EXPECT_THROW(ds.movePrevious(), NoCurrentRecord);
    ds.moveLast();
    EXPECT_EQ(ds.position(), 2u);
    // moveTo: a bookmark to a row of the set, dropping a pending edit as any move.
    Actions seen;
    ds.setValidateHook([&](Action a) { return seen.push_back(a), true; });
    add(ds, {{"DESCRIPCIO", Value("SIN GUARDAR")}}, false, &D::edit);
    ds.moveTo(0);
    EXPECT_EQ(ds.editMode(), EditMode::None);
    EXPECT_EQ(seen, Actions{Action::Bookmark});
    EXPECT_EQ(ds.field("DESCRIPCIO"), Value("IND SIN CLAVE"));
    EXPECT_THROW(ds.moveTo(3), NoCurrentRecord);
}

TEST_F(DataSources, AddNewOrEditAndUpdateWriteTheRowAndTheLastWrittenCanBeMadeCurrent) {
    DataSource ds = open("select * from sector where idsector = 9", "FoxPro 2.5;");
    ds.addNew();
    EXPECT_EQ(ds.editMode(), EditMode::AddNew);
    EXPECT_TRUE(ds.field("CVE_SECTOR").isNull() && ds.eof());  // a blank buffer, no row of the set
    ds.setField("CVE_SECTOR", Value(" AB"));
    ds.setField(0, Value("14"));  // a bound text box writes text into a number
    ds.update(false);
    EXPECT_EQ(ds.editMode(), EditMode::None);
    ASSERT_EQ(ds.lastModifiedRecord(), 12u);
    ds.moveToLastModified();
    EXPECT_EQ(ds.field("CVE_SECTOR"), Value(" AB"));
    EXPECT_EQ(reopen("Sector.dbf")->read(12), (Row{14, " AB", null}));

    // In a sorted set the added row joins the end, whatever the statement selects; the current row stays.
    DataSource sorted = open(kIndirect);
    sorted.moveNext();
    add(sorted, {{"IDSECTOR", Value(1)}, {"CVE_SECTOR", Value("A")}});
    EXPECT_EQ(sorted.currentRecord(), 1u);
    EXPECT_EQ(sorted.records(), (Records{6, 1, 8, 13}));

    // Editing through a projection rewrites the row, keeping the other columns.
    DataSource projected = open("select RFC, NOMBRE from prodabas ");
    projected.moveNext();
    projected.edit();
    projected.setField(1, Value("TEXTILES DEL PONIENTE"));
    EXPECT_EQ(projected.field("NOMBRE"), Value("TEXTILES DEL PONIENTE"));  // the buffer shows
    projected.update();
    EXPECT_EQ(reopen("PRODABAS.DBF")->read(2), (Row{"0001", "TEXTILES DEL PONIENTE", " TDS030303QW3", null}));
}

TEST_F(DataSources, CancelOrAMoveDropsTheBufferAFailedWriteKeepsIt) {
    DataSource ds = open("sector");
    add(ds, {{"DESCRIPCIO", Value("CAMBIADA")}}, false, &D::edit);
    ds.cancelUpdate();
    EXPECT_EQ(ds.editMode(), EditMode::None);
    EXPECT_EQ(ds.field("DESCRIPCIO"), Value("ELECTRONICA"));
    EXPECT_THROW(ds.setField("DESCRIPCIO", Value("X")), StoreError);  // no buffer
    EXPECT_THROW(ds.update(), StoreError);
    EXPECT_NO_THROW(ds.cancelUpdate());  // nothing pending: nothing happens
    add(ds, {{"CVE_SECTOR", Value("L")}}, false);
    ds.cancelUpdate();
    EXPECT_EQ(ds.currentRecord(), 0u);
    add(ds, {{"CVE_SECTOR", Value("L")}}, false);
    ds.moveNext();
    EXPECT_EQ(ds.currentRecord(), 1u);
    EXPECT_EQ(reopen("Sector.dbf")->recordCount(), 12u);  // nothing written

    // A failed write keeps the buffer and the mode.
    add(ds, {{"IDSECTOR", Value(1)}, {"CVE_SECTOR", Value("XXXXXXXX")}}, false);  // longer than its 5 characters
    EXPECT_THROW(ds.update(), StoreError);
    EXPECT_EQ(ds.editMode(), EditMode::AddNew);
    EXPECT_EQ(ds.field("CVE_SECTOR"), Value("XXXXXXXX"));
    EXPECT_EQ(ds.recordCount(), 11u);
    EXPECT_FALSE(ds.lastModifiedRecord());
    ds.setField("CVE_SECTOR", Value("XX"));
    ds.update();
    EXPECT_EQ(ds.recordCount(), 12u);

    // A text that is no number does not go into a numeric field at all.
    ds.edit();
    EXPECT_THROW(ds.setField("IDSECTOR", Value("uno")), StoreError);
    EXPECT_EQ(ds.field("IDSECTOR"), Value(2));
    ds.setField("IDSECTOR", Value("  "));
    EXPECT_TRUE(ds.field("IDSECTOR").isNull());
}

TEST_F(DataSources, ADeletedRowStaysCurrentUntilTheNextMoveGoesPastIt) {
    DataSource ds = open(kIndirect);
    ds.moveNext();  // record 1, "IIa"
    EXPECT_EQ(ds.records(), (Records{6, 1, 8}));
    ds.deleteCurrent();
    EXPECT_FALSE(ds.eof() || ds.bof());
    EXPECT_EQ(ds.currentRecord(), 1u);
    EXPECT_THROW(ds.field(0), StoreError);
    EXPECT_THROW(ds.deleteCurrent(), StoreError);
    EXPECT_EQ(ds.records(), (Records{6, 8}));
    ds.moveNext();
    EXPECT_EQ(ds.field("CVE_SECTOR"), Value("XIXc"));
    ds.movePrevious();
    EXPECT_EQ(ds.currentRecord(), 6u);
    EXPECT_TRUE(reopen("Sector.dbf")->isDeleted(1));
}

TEST_F(DataSources, HookRunsBeforeTheMovesAndActionsAndCanCancelThem) {
    DataSource ds = open("sector", "FoxPro 2.5;");
    Actions seen;
    Action refuse = Action::Close;  // nothing that happens here
    ds.setValidateHook([&](Action a) { return seen.push_back(a), a != refuse; });
    const std::pair<void (D::*)(), Action> moves[] = {{&D::moveNext, Action::MoveNext},
                                                      {&D::movePrevious, Action::MovePrevious},
                                                      {&D::moveLast, Action::MoveLast},
                                                      {&D::moveFirst, Action::MoveFirst}};
    for (const auto& [move, action] : moves) {
        const auto at = ds.currentRecord();
        refuse = action, seen.clear();
        (ds.*move)();
        EXPECT_EQ(ds.currentRecord(), at);  // refused: nothing moved
        EXPECT_EQ(seen, Actions{action});
        refuse = Action::Close;
        (ds.*move)();
    }
    // Saving without the validation step does not run it; with it, it can refuse.
    add(ds, {{"DESCRIPCIO", Value("SIN VALIDAR")}}, false, &D::edit);
    seen.clear();
    ds.update(false);
    EXPECT_TRUE(seen.empty());
    add(ds, {{"DESCRIPCIO", Value("REFUSED")}}, false, &D::edit);
    refuse = Action::Update;
    ds.update();
    EXPECT_EQ(ds.editMode(), EditMode::Edit);
    EXPECT_EQ(reopen("Sector.dbf")->read(0, 2), Value("SIN VALIDAR"));

    ds.cancelUpdate();
    refuse = Action::Close, seen.clear();
    add(ds, {{"CVE_SECTOR", Value("L")}});
    ds.moveToLastModified();
    ds.deleteCurrent();
    EXPECT_EQ(seen, (Actions{Action::AddNew, Action::Update, Action::Bookmark, Action::Delete}));
    ds.moveFirst();
    refuse = Action::Delete;
    ds.deleteCurrent();
    EXPECT_FALSE(reopen("Sector.dbf")->isDeleted(0));
    refuse = Action::AddNew;
    ds.addNew();
    EXPECT_EQ(ds.editMode(), EditMode::None);
}

// Another source's writes show after a refresh (deletions at once); a bad source keeps the old set.
TEST_F(DataSources, RefreshReadsOtherWritesAndKeepsTheSetOnABadSource) {
    DataSource a = open("Sector");
    DataSource b = open("select * from SECTOR where idsector = 1 order by cve_sector");
    add(a, {{"IDSECTOR", Value(1)}, {"CVE_SECTOR", Value("III")}});
    EXPECT_EQ(b.recordCount(), 7u);  // not yet
    b.refresh();
    EXPECT_EQ(b.recordCount(), 8u);
    b.moveTo(4);
    ASSERT_EQ(b.currentRecord(), 7u);
    b.deleteCurrent();
    for (int i = 0; i < 6; ++i)
        a.moveNext();
    EXPECT_EQ(a.currentRecord(), 8u);  // 0 1 2 4 5 6, then 8: 7 is gone

    a.setRecordSource("select * from sector where cve_sector like 'X%'");
    EXPECT_TRUE(contains(errorOf([&] { a.refresh(); }), "like 'X%'"));
    a.setRecordSource("tablaquenoexiste");
    EXPECT_THROW(a.refresh(), StoreError);
    EXPECT_EQ(a.currentRecord(), 8u);
}

TEST_F(DataSources, ListenersHearOfEveryChangeOfTheCurrentRow) {
    DataSource ds(db, "dBASE III;", "sector");
    int told = 0;
    const int id = ds.addListener([&] { ++told; });
    std::vector<int> after;
    for (auto step : {&D::refresh, &D::moveNext, &D::addNew, &D::cancelUpdate, &D::deleteCurrent}) {
        (ds.*step)();
        after.push_back(told);
    }
    EXPECT_EQ(after, (std::vector<int>{1, 2, 3, 4, 5}));
    ds.removeListener(id);
    ds.moveNext();
    EXPECT_EQ(told, 5);
}
