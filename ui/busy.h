// The busy pointer for the life of the object, back to normal however the
// scope ends.
#pragma once

namespace ui {

class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace ui
