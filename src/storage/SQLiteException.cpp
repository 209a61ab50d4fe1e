#include "storage/SQLiteException.h"

#include "platform/MessageBox.h"

int CSQLiteException::ReportError(unsigned flags) const {
    return KivMessageBox(m_text, flags);
}
