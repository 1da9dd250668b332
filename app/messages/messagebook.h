#pragma once

#include "serialstring.h"

#include <QString>

#include <array>

// The 25 message slots with the names the operator gave them: what a message file
// holds and what the Messages window shows. Slots 22 to 24 have no default name.
struct MessageBook
{
    static constexpr int kSlots = 25;

    std::array<SerialString, kSlots> slots{};
    std::array<QString, kSlots> names{};

    // Empty slots under the names in MessageNames, which InitTables has filled.
    static MessageBook defaults();
    static QString defaultName(int slot);

    friend bool operator==(const MessageBook &, const MessageBook &) = default;
};
