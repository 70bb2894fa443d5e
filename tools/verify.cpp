#include "tools/verify.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <system_error>
#include <thread>

#include "rules/checks.h"
#include "store/database.h"
#include "store/dbf.h"
#include "store/platform/errors.h"
#include "store/schema.h"

namespace verify {

namespace {

namespace fs = std::filesystem;

// Positions in store::kDiskTables.
enum : std::size_t { kDatoprov, kCatdirpl, kSector, kMercbi, kProdabas, kActivida };

// The fields the checks read, per table of store::kDiskTables.
const std::vector<const char*> kFields[] = {
    {"RFC", "PROG1P", "PROG2P", "APEPATRAZ", "CALLEYNO", "CP", "COLONIA", "TELEFONO", "TIPOTRAM", "TIPOPROG",
     "CVEADMLOC", "NOMBREREPL", "CARGO", "TEL_REPREG", "EMAILREPL"},
    {"CP"},
    {"IDSECTOR", "CVE_SECTOR", "DESCRIPCIO"},
    {"IDSECTOR", "TIPO_PROGR", "FRACCION", "ANEXO", "TIPOBIEN"},
    {"NOMBRE", "RFC"},
    {},
};

std::string utf8(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

// One table of the disk, read whole, with the report its findings go to.
class Table {
public:
    Table(std::unique_ptr<store::DbfTable> t, std::string name, Report& report)
        : t_(std::move(t)), name_(std::move(name)), report_(report) {}

    std::size_t records() const { return t_->recordCount(); }
    bool live(std::size_t r) const { return !t_->isDeleted(r); }
    store::Value value(std::size_t r, const char* field) const {
        return t_->read(r, std::size_t(t_->fieldIndex(field)));
    }
    std::u16string text(std::size_t r, const char* field) const { return rules::utf16(value(r, field).toString()); }
    int number(std::size_t r, const char* field) const {
        const store::Value v = value(r, field);
        return v.isNumber() ? int(v.number()) : 0;
    }
    // A finding on record r (counted from 0), or on the whole table.
    void add(std::size_t r, std::string field, std::string message) {
        report_.findings.push_back({name_, r + 1, std::move(field), std::move(message)});
    }
    void addWhole(std::string field, std::string message) {
        report_.findings.push_back({name_, 0, std::move(field), std::move(message)});
    }
    void add(std::size_t r, const std::vector<rules::Message>& messages) {
        for (const rules::Message& m : messages)
            add(r, m.field, m.text);
    }
    store::DbfTable& dbf() { return *t_; }

private:
    std::unique_ptr<store::DbfTable> t_;
    std::string name_;
    Report& report_;
};

// Whether each character of the text passes the key filter as it is: the
// text could have been typed.
bool typable(int (*filter)(int), std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [filter](char16_t c) { return filter(c) == int(c); });
}

// The main window's record: the RFC, the required fields, the year and
// number of an extension, as the window shows the record when it loads it.
// Returns whether the application is an extension.
bool checkApplication(Table& t) {
    std::size_t rows = 0;
    bool extension = false;
    for (std::size_t r = 0; r < t.records(); ++r) {
        if (!t.live(r))
            continue;
        if (++rows > 1) {
            t.add(r, "", "Renglón de más: la solicitud ocupa un solo renglón");
            continue;
        }
        t.add(r, rules::validaRfc(t.text(r, "RFC")).messages);
        // The list shows the entry of the stored code; any other code leaves
        // its last entry, "Ampliación", selected.
        const int tramite = t.number(r, "TIPOTRAM");
        if (tramite != 1 && tramite != 2)
            t.add(r, "TIPOTRAM", "El tipo de trámite no es 1 (Programa nuevo) ni 2 (Ampliación)");
        const int combo1 = tramite == 1 ? 0 : 1;
        extension = combo1 == 1;
        const std::u16string tipo = t.text(r, "TIPOPROG");
        const int direct = tipo == u"1" || tipo == u"3";
        const int indirect = tipo == u"2" || tipo == u"3";
        rules::RequeridosInput in{combo1,
                                  t.text(r, "PROG1P"),
                                  t.text(r, "PROG2P"),
                                  t.text(r, "APEPATRAZ"),
                                  t.text(r, "CALLEYNO"),
                                  t.text(r, "CP"),
                                  t.text(r, "COLONIA"),
                                  t.text(r, "TELEFONO"),
                                  t.value(r, "CVEADMLOC").isNull() ? -1 : 0,
                                  direct,
                                  indirect,
                                  t.text(r, "NOMBREREPL"),
                                  t.text(r, "CARGO"),
                                  t.text(r, "TEL_REPREG"),
                                  t.text(r, "EMAILREPL")};
        t.add(r, rules::validaRequeridos(in).messages);
        // The programme type is reported as a required field already.
        t.add(r, rules::valida({true, 1, indirect, 0, combo1, in.prog1, in.prog2}).messages);
    }
    if (rows == 0)
        t.addWhole("", "No hay solicitud: la tabla no tiene renglones");
    return extension;
}

void checkPlants(Table& t) {
    for (std::size_t r = 0; r < t.records(); ++r) {
        if (!t.live(r))
            continue;
        const std::u16string cp = t.text(r, "CP");
        t.add(r, rules::plantRowCheck(1, cp));
        if (!typable(rules::SoloNumeros, cp))
            t.add(r, "CP", "El código postal sólo admite dígitos");
    }
}

void checkSectors(Table& t) {
    for (std::size_t r = 0; r < t.records(); ++r) {
        if (!t.live(r))
            continue;
        t.add(r, rules::ValidaSector(t.text(r, "CVE_SECTOR"), t.text(r, "DESCRIPCIO")).messages);
        const int programme = t.number(r, "IDSECTOR");
        if (programme != 1 && programme != 2)
            t.add(r, "IDSECTOR", "IDSECTOR no es 1 (productor directo) ni 2 (productor indirecto)");
    }
}

void checkGoods(Table& t, bool extension) {
    for (std::size_t r = 0; r < t.records(); ++r) {
        if (!t.live(r))
            continue;
        const rules::GoodsCodes codes{t.number(r, "TIPO_PROGR"), t.number(r, "ANEXO"), t.number(r, "TIPOBIEN")};
        // The grid whose row check gives these codes: the first two lie on
        // the first tab, the third on the second.
        int grid = 0;
        while (grid < 3 && rules::goodsCodes(grid, grid == 2 ? 1 : 0) != codes)
            ++grid;
        if (grid == 3) {
            t.add(r, "TIPO_PROGR",
                  "TIPO_PROGR " + std::to_string(codes.tipoProgr) + ", ANEXO " + std::to_string(codes.anexo)
                      + " y TIPOBIEN " + std::to_string(codes.tipoBien) + " no son los de ninguna lista de mercancías");
            continue;
        }
        // The check reads the sector current when the row was written, which
        // it copied into the row.
        const std::u16string fraction = t.text(r, "FRACCION");
        const rules::RowCheck check = rules::ValidaMercancia(grid, extension, t.text(r, "IDSECTOR"), fraction);
        t.add(r, check.messages);
        if (!check.cancel && !typable(rules::SoloNumeros, rules::trimmed(fraction)))
            t.add(r, "FRACCION", "La fracción sólo admite dígitos");
    }
}

void checkProducers(Table& t) {
    for (std::size_t r = 0; r < t.records(); ++r)
        if (t.live(r))
            t.add(r, rules::ValidaRFCIndirecto(t.text(r, "NOMBRE"), t.text(r, "RFC")).messages);
}

// The table's damage: what the reader found in its header and records, and
// in any value of any field (values are checked as they are read).
void damage(Table& t) {
    for (std::size_t r = 0; r < t.records(); ++r)
        t.dbf().read(r);
    for (const std::string& w : t.dbf().warnings())
        t.addWhole("", w);
}

Report check(const fs::path& dir) {
    Report report{dir, {}, false};
    std::error_code ec;
    fs::directory_iterator probe(dir, ec);
    if (ec) {
        report.unreadable = true;
        report.findings.push_back({"", 0, "", "No se puede leer la carpeta: " + store::platform::errorText(ec)});
        return report;
    }
    store::Database db(dir);
    std::unique_ptr<Table> tables[std::size(store::kDiskTables)];
    for (std::size_t i = 0; i < std::size(store::kDiskTables); ++i) {
        const auto& k = store::kDiskTables[i];
        fs::path file;
        try {
            file = db.tableFile(k.table);
        } catch (const store::StoreError&) {
            report.findings.push_back({k.file, 0, "", "Falta la tabla"});
            continue;
        }
        const std::string name = utf8(file.filename());
        try {
            auto t = std::make_unique<Table>(store::DbfTable::open(file), name, report);
            bool complete = true;
            for (const char* field : kFields[i]) {
                if (t->dbf().fieldIndex(field) < 0) {
                    t->addWhole(field, "Falta el campo");
                    complete = false;
                }
            }
            for (std::size_t r = 0; k.packed && r < t->records(); ++r)
                if (!t->live(r))
                    t->add(r, "", "Renglón borrado: la tabla no se compactó");
            if (complete)
                tables[i] = std::move(t);
            else
                damage(*t);
        } catch (const std::exception& e) {
            report.unreadable = true;
            report.findings.push_back({name, 0, "", store::platform::errorText(e)});
        }
    }
    bool extension = false;
    if (tables[kDatoprov])
        extension = checkApplication(*tables[kDatoprov]);
    if (tables[kCatdirpl])
        checkPlants(*tables[kCatdirpl]);
    if (tables[kSector])
        checkSectors(*tables[kSector]);
    if (tables[kMercbi])
        checkGoods(*tables[kMercbi], extension);
    if (tables[kProdabas])
        checkProducers(*tables[kProdabas]);
    for (const auto& t : tables)
        if (t)
            damage(*t);
    return report;
}

std::string csvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos)
        return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace

Report checkDirectory(const fs::path& dir) {
    try {
        return check(dir);
    } catch (const std::exception& e) {
        // A table that went away or changed while it was read.
        return Report{dir, {{"", 0, "", store::platform::errorText(e)}}, true};
    }
}

std::vector<Report> checkDirectories(const std::vector<fs::path>& dirs, unsigned threads) {
    std::vector<Report> reports(dirs.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next++) < dirs.size();)
            reports[i] = checkDirectory(dirs[i]);
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < std::max(1u, std::min<unsigned>(threads, unsigned(dirs.size()))); ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();
    return reports;
}

int exitStatus(const std::vector<Report>& reports) {
    int status = 0;
    for (const Report& r : reports)
        status = std::max(status, r.unreadable ? 2 : r.findings.empty() ? 0 : 1);
    return status;
}

std::string line(const Report& report, const Finding& f) {
    std::string where;
    for (const std::string& part : {f.table, f.row > 0 ? "renglón " + std::to_string(f.row) : "", f.field})
        if (!part.empty())
            where += (where.empty() ? "" : ", ") + part;
    return utf8(report.dir) + ": " + (where.empty() ? "" : where + ": ") + f.message;
}

std::string csvLine(const Report& report, const Finding& f) {
    return csvField(utf8(report.dir)) + "," + csvField(f.table) + "," + (f.row > 0 ? std::to_string(f.row) : "") + ","
           + csvField(f.field) + "," + csvField(f.message);
}

}  // namespace verify
