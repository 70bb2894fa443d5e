// Data sources: the record operations the windows rely on.
#include <gtest/gtest.h>

#include "dbf_test_util.h"
#include "store/datasource.h"

using namespace fixture;
using store::Action;
using store::DataSource;
using D = store::DataSource;
using store::EditMode;
using store::NoCurrentRecord;
using store::StoreError;
using Records = std::vector<std::size_t>;
using Actions = std::vector<Action>;

namespace {

const char* const kIndirect = "select * from sector where idsector = 2 order by cve_sector ";  // records 6 1 8

class DataSources : public ::testing::Test {
protected:
    void SetUp() override { writeTables(dir.path()); }
    // The given field of every row from the current one to the end.
    static std::vector<std::string> walk(DataSource& ds, const char* field = "CVE_SECTOR") {
        std::vector<std::string> keys;
        for (; !ds.eof(); ds.moveNext())
            keys.push_back(ds.field(field).toString());
        return keys;
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
    store::Database db{dir.path()};
};

}  // namespace

TEST_F(DataSources, ConnectStringsAndRefreshOnAnEmptySet) {
    for (const char* ok : {"FoxPro 2.5;", " dbase iii"})
        EXPECT_NO_THROW(DataSource(db, ok, "sector")) << ok;
    for (const char* bad : {"", "dBASE IV;"})
        EXPECT_THROW(DataSource(db, bad, "sector"), StoreError) << bad;
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
    EXPECT_EQ(ds.currentRecord(), 6u);  // the null key first
    EXPECT_EQ(walk(ds), (std::vector<std::string>{"", "IIa", "XIXc"}));
    EXPECT_TRUE(ds.eof() && !ds.bof());
    EXPECT_THROW(ds.moveNext(), NoCurrentRecord);
    ds.movePrevious();
    EXPECT_EQ(ds.field(1), Value("XIXc"));
    ds.moveFirst();
    ds.movePrevious();
    EXPECT_TRUE(ds.bof() && !ds.eof());
    EXPECT_THROW(ds.movePrevious(), NoCurrentRecord);
    ds.moveNext();
    EXPECT_EQ(ds.currentRecord(), 6u);
    ds.moveLast();
    EXPECT_EQ(ds.position(), 2u);
    EXPECT_EQ(ds.records(), (Records{6, 1, 8}));

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

    // In a sorted set the added row joins the end, whatever the statement
    // selects, and the current row stays.
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
    // The last row deleted: eof only after the move.
    ds.moveLast();
    ds.deleteCurrent();
    EXPECT_FALSE(ds.eof());
    ds.moveNext();
    EXPECT_TRUE(ds.eof());
    ds.movePrevious();
    EXPECT_EQ(ds.currentRecord(), 6u);
}

TEST_F(DataSources, HookRunsBeforeTheMovesAndActionsAndCanCancelThem) {
    DataSource ds = open("sector", "FoxPro 2.5;");
    Actions seen;
    Action refuse = Action::Close;  // nothing that happens here
    ds.setValidateHook([&](Action a) {
        seen.push_back(a);
        return a != refuse;
    });
    const std::pair<void (D::*)(), Action> moves[] = {{&D::moveNext, Action::MoveNext},
                                                      {&D::movePrevious, Action::MovePrevious},
                                                      {&D::moveLast, Action::MoveLast},
                                                      {&D::moveFirst, Action::MoveFirst}};
    for (const auto& [move, action] : moves) {
        const auto at = ds.currentRecord();
        refuse = action;
        seen.clear();
        (ds.*move)();
        EXPECT_EQ(ds.currentRecord(), at);  // refused: nothing moved
        EXPECT_EQ(seen, Actions{action});
        refuse = Action::Close;
        (ds.*move)();
    }
    // Saving without the validation step does not run it; with it, it can refuse.
    ds.moveFirst();
    add(ds, {{"DESCRIPCIO", Value("SIN VALIDAR")}}, false, &D::edit);
    seen.clear();
    ds.update(false);
    EXPECT_TRUE(seen.empty());
    add(ds, {{"DESCRIPCIO", Value("REFUSED")}}, false, &D::edit);
    refuse = Action::Update;
    ds.update();
    EXPECT_EQ(ds.editMode(), EditMode::Edit);
    EXPECT_EQ(reopen("Sector.dbf")->read(0, 2), Value("SIN VALIDAR"));

    refuse = Action::Close;
    ds.cancelUpdate();
    seen.clear();
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

// Another data source's writes are seen after a refresh (its deletions at
// once); a bad source keeps the old set; a table packed elsewhere is read again.
TEST_F(DataSources, RefreshReadsOtherWritesKeepsTheSetOnABadSourceAndRereadsAPackedTable) {
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
    a.setRecordSource("select * from mercbi where anexo=1 and tipobien = 2 order by idsector, fraccion");
    a.refresh();
    const std::vector<std::string> fractions = {"87032303", "11111111", "85340001"};
    EXPECT_EQ(walk(a, "FRACCION"), fractions);
    store::packTable(dir / "mercbi.dbf");
    a.refresh();
    EXPECT_EQ(walk(a, "FRACCION"), fractions);
    EXPECT_EQ(a.records(), (Records{14, 11, 3}));  // one row less before them
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
