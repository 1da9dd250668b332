#include "messagebook.h"

#include "globals.h"

MessageBook MessageBook::defaults()
{
    MessageBook book;
    for (int slot = 0; slot < kSlots; ++slot)
        book.names[slot] = defaultName(slot);
    return book;
}

QString MessageBook::defaultName(int slot)
{
    return slot >= 0 && slot < Globals::kMessageNames ? Globals::MessageNames[slot] : QString();
}
