// The statement evaluator: the statements the windows give their data
// sources, on tables with nulls, blanks, deleted rows and keys that differ
// only in case.
#include <gtest/gtest.h>

#include <numeric>
#include <sstream>

#include "dbf_test_util.h"
#include "store/database.h"
#include "store/sql.h"

using namespace fixture;
using store::Database;
using store::Statement;
using store::StoreError;

namespace {

class Statements : public ::testing::Test {
protected:
    void SetUp() override { writeTables(dir.path()); }
    Statement::Result run(const std::string& text) {
        const Statement st = Statement::parse(text);
        return st.evaluate(db.table(st.tableName()));
    }
    ScratchDir dir;
    Database db{dir.path()};
};

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
    EXPECT_EQ(run("select RFC, NOMBRE from prodabas ").columns, (std::vector<int>{2, 1}));
    EXPECT_EQ(run("select * from prodabas").columns, (std::vector<int>{0, 1, 2, 3}));
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
        "select distinct idsector from sector",
        "select * sector",
        "select * from sector where cve_sector like 'X%'",
        "select * from sector where not idsector = 1",
        "select * from sector where idsector = cve_sector",
        "select * from sector where idsector == 1",
        "select * from sector where idsector != 1",
        "select * from sector where (idsector = 1",
        "select * from sector where cve_sector = 'X",
        "select * from sector where",
        "select * from sector order idsector",
        "select idsector, from sector",
        "select from sector",
        "update sector set idsector = 1",
        "select * from sector where idsector = 1; delete from sector",
        "select * from sector where idsector = 1x",
        "select * from sector where idsector = 1.2.3",
        "select * from sector limit 3",
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

TEST_F(Statements, TableNamesIgnoreCaseAndExtension) {
    for (const char* name : {"Sector", "SECTOR", "sector.dbf", "SECTOR.DBF", "Sector.Dbf"}) {
        EXPECT_EQ(&db.table(name), &db.table("sector")) << name;
        EXPECT_EQ(db.tableFile(name), dir / "Sector.dbf");
    }
    EXPECT_EQ(db.tableFile("prodabas"), dir / "PRODABAS.DBF");
    EXPECT_EQ(db.table("prodabas").recordCount(), 3u);
    for (const char* name : {"sect", "merc", "../Sector", "Sector.dbf.bak"}) {
        const std::string what = errorOf([&] { db.table(name); });
        EXPECT_TRUE(contains(what, name));
        EXPECT_TRUE(contains(what, dir.path().string()));
    }
    EXPECT_THROW(Database(dir / "no-existe").table("sector"), StoreError);
}

// Reference order: a stable sort on the keys (field, descending), nulls
// first when ascending, text by character code.
using SortKeys = std::vector<std::pair<std::size_t, bool>>;
static bool lessByKeys(const Row& a, const Row& b, const SortKeys& keys) {
    for (const auto& [k, desc] : keys) {
        const Value &x = desc ? b[k] : a[k], &y = desc ? a[k] : b[k];
        if (x == y)
            continue;
        if (x.isNull() || y.isNull())
            return x.isNull();
        return x.isText() ? x.text() < y.text() : x.number() < y.number();
    }
    return false;
}

TEST_F(Statements, OrderingAgreesWithAStableSortOnManyRows) {
    // Keys with few and with many distinct values, nulls among them, a text
    // too long to sort by its bytes, and an ORDER BY so long that its keys no
    // longer pack into one integer.
    std::vector<Row> rows;
    unsigned seed = 12345;
    auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    const char* keys[] = {"IIa", "iia", "IIA", "X", "XIXc", " V", "V"};
    const char* longer[] = {"DESCRIPCION", "DESCRIPCIÓN", "DESCRIPCION ", "DESCRIPCIO", "DESCRIPCIONES", "DESC"};
    for (int i = 0; i < 3000; ++i) {
        Row r(5);
        r[0] = next() % 9 == 0 ? Value() : Value(keys[next() % 7]);
        r[1] = next() % 5 == 0 ? Value() : Value(int(next() % 3));
        r[2] = Value(std::to_string(10000000 + next() % 90000000));
        r[3] = next() % 4 == 0 ? Value() : Value(int(next() % 2000) - 1000);
        r[4] = next() % 6 == 0 ? Value() : Value(std::string(longer[next() % 6]) + std::to_string(next() % 3));
        rows.push_back(r);
    }
    makeTable(dir / "big.dbf", {C("S", 5), N("K", 1), C("F", 8), N("N", 5), C("G", 40)}, rows, {7, 8, 500});
    std::vector<std::size_t> live(rows.size());
    std::iota(live.begin(), live.end(), 0);
    live.erase(live.begin() + 500), live.erase(live.begin() + 7, live.begin() + 9);

    // Keys as "x" or "x desc", x one of the columns s k f n g.
    std::string repeated = "s";
    for (int i = 0; i < 40; ++i)
        repeated += ", k, n";
    for (const std::string keys :
         {"s, k", "s, k, f", "n", "k, s, n, f", "g, s", "s desc, g, n desc", repeated.c_str()}) {
        const std::string text = "select * from big order by " + keys;
        SortKeys keyFields;
        std::istringstream in(keys);
        for (std::string key; std::getline(in >> std::ws, key, ',');)
            keyFields.push_back({std::string("skfng").find(key[0]), key.find("desc") != std::string::npos});
        std::vector<std::size_t> expected = live;
        std::stable_sort(expected.begin(), expected.end(),
                         [&](std::size_t a, std::size_t b) { return lessByKeys(rows[a], rows[b], keyFields); });
        EXPECT_EQ(run(text).records, expected) << text.substr(0, 60);
    }
}

// Every comparison and order over a table whose bytes sit at the edges of the
// readings from stored bytes: NUL padding, numbers the fast reading declines
// ("5.", "***", an exponent, 16 digits), accented and NUL bytes in text.
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
