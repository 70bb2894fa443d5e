// Hints about memory that only some systems take.
#pragma once

#include <cstddef>

namespace store::platform {

// Asks for large pages behind a big buffer that is about to be filled (a
// whole table read into memory): on some machines faulting in 4 KB pages
// costs more than reading the file. Does nothing where unsupported.
void preferLargePages(void* data, std::size_t size);

}  // namespace store::platform
