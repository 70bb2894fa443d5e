// Helpers for the store tests: scratch directories, files built byte by byte
// the way other programs write them, and the other readers on the machine.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "store/dbf.h"

namespace dbftest {

namespace fs = std::filesystem;

// A fresh directory, removed afterwards even when a test made it read-only.
class ScratchDir {
public:
    ScratchDir() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("zeltar-test-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

inline std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::set<std::string> fileNames(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

// Every record of a table (deleted ones too) and their deletion marks.
inline std::vector<store::Row> rowsOf(const store::DbfTable& t) {
    std::vector<store::Row> rows;
    for (std::size_t i = 0; i < t.recordCount(); ++i)
        rows.push_back(t.read(i));
    return rows;
}
inline std::vector<bool> deletedOf(const store::DbfTable& t) {
    std::vector<bool> marks;
    for (std::size_t i = 0; i < t.recordCount(); ++i)
        marks.push_back(t.isDeleted(i));
    return marks;
}

inline std::uint32_t le32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

// A .dbf file put together field by field; every header byte can be overridden.
struct RawDbf {
    struct Field {
        std::string name;  // written as is, NUL-padded to 11 bytes
        char type;
        int length;
        int decimals = 0;
    };
    std::uint8_t version = 0x03;
    std::uint8_t codePage = 0x02;
    std::vector<Field> fields{};
    std::vector<std::string> records{};  // each with its deletion byte first
    long count = -1;                     // header count; -1: records.size()
    std::string afterTerminator{};       // e.g. one 0x00 of old writers
    bool endMarker = true;

    std::string bytes() const {
        std::string desc;
        int recordLength = 1;
        for (const Field& f : fields) {
            std::string d(32, '\0');
            d.replace(0, std::min<std::size_t>(f.name.size(), 11), f.name.substr(0, 11));
            d[11] = f.type;
            d[16] = static_cast<char>(f.length & 0xFF);
            d[17] = static_cast<char>(f.decimals);
            desc += d;
            recordLength += f.length;
        }
        const std::size_t headerLength = 32 + desc.size() + 1 + afterTerminator.size();
        const auto n = static_cast<std::uint32_t>(count < 0 ? static_cast<long>(records.size()) : count);
        std::string out(32, '\0');
        const unsigned head[] = {version, 95, 7, 1, n & 0xFF, (n >> 8) & 0xFF, (n >> 16) & 0xFF, n >> 24,
                                 unsigned(headerLength & 0xFF), unsigned(headerLength >> 8),
                                 unsigned(recordLength & 0xFF), unsigned(recordLength >> 8)};
        for (std::size_t i = 0; i < std::size(head); ++i)
            out[i] = static_cast<char>(head[i]);
        out[29] = static_cast<char>(codePage);
        out += desc + '\x0D' + afterTerminator;
        for (const std::string& r : records)
            out += r;
        if (endMarker)
            out += '\x1A';
        return out;
    }
};

// Runs a shell command and returns its standard output; empty on failure.
inline std::string runCommand(const std::string& command, int* status = nullptr) {
    std::string out;
#ifndef _WIN32
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    const int rc = pclose(p);
    if (status)
        *status = rc;
#endif
    return out;
}

// The distribution's python with dbfread (the first python3 on PATH may lack it), or "".
inline std::string pythonWithDbfread() {
    int status = -1;
    runCommand("/usr/bin/python3 -c 'import dbfread' 2>/dev/null", &status);
    return status == 0 ? "/usr/bin/python3" : "";
}

} // namespace dbftest
