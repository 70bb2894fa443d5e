// libFuzzer target for the table reader: any bytes must either open (with
// warnings) or be refused with StoreError, and every record must then read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "store/dbf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto table =
            store::DbfTable::fromBytes(std::string(reinterpret_cast<const char*>(data), size), "fuzz.dbf");
        std::size_t seen = 0;
        for (std::size_t r = 0; r < table->recordCount(); ++r) {
            table->isDeleted(r);
            table->rawRecord(r);
            for (const store::Value& v : table->read(r))
                seen += v.toString().size();
        }
        for (const auto& f : table->fields())
            seen += static_cast<std::size_t>(table->fieldIndex(f.name) >= 0);
        (void)seen;
    } catch (const store::StoreError&) {
        // Refused: fine.
    }
    return 0;
}
