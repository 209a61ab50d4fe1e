#pragma once

#include <QAbstractButton>

// Writes a check box into a flag member; true when that changed it.
inline bool ExchangeFlag(const QAbstractButton* box, int& member) {
    const int value = box->isChecked() ? 1 : 0;
    if (member == value)
        return false;
    member = value;
    return true;
}

// The same for a member that holds the opposite of the box.
inline bool ExchangeInverseFlag(const QAbstractButton* box, int& member) {
    const int value = box->isChecked() ? 0 : 1;
    if (member == value)
        return false;
    member = value;
    return true;
}
