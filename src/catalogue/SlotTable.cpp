#include "catalogue/SlotTable.h"

#include <stdexcept>

namespace catalogue {

Item& SlotTable::at(int slot) {
    if (!valid(slot))
        throw std::out_of_range("slot " + std::to_string(slot) + " is outside 1.." + std::to_string(kCapacity));
    return slots_[static_cast<std::size_t>(slot)];
}

const Item& SlotTable::at(int slot) const { return const_cast<SlotTable*>(this)->at(slot); }

} // namespace catalogue
