#include "model/FileParts.h"

#include "model/Interfaces.h"
#include "model/TransactionScope.h"
#include "platform/MemFile.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "security/KivCrypto.h"
#include "storage/Field.h"
#include "storage/KivCursor.h"
#include "storage/KivDatabase.h"
#include "storage/Row.h"
#include "storage/SQLiteBinary.h"
#include "storage/SQLiteBuffer.h"
#include "storage/SQLiteException.h"
#include "storage/Statements.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr unsigned kIdCannotOpenTarget = 62701;
constexpr unsigned kIdReadError = 62711;
constexpr unsigned kIdWriteError = 62712;

// Parts are reached one row at a time through their ids, read first: that keeps one part in
// memory when reading, and no cursor open on the table while copies are inserted into it.
constexpr char kSelectPartIds[] =
    "select id from tresorix_data where id_parent = %d order by part asc";
constexpr char kSelectPart[] = "select part, data from tresorix_data where id = %d";
constexpr char kCountParts[] = "select count(*) from tresorix_data where id_parent = %d";

class CFd {
public:
    explicit CFd(int fd = -1) : m_fd(fd) {}
    ~CFd() { Close(); }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    int Get() const { return m_fd; }
    int Close() {
        int result = 0;
        if (m_fd >= 0)
            result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

void ReportFileError(unsigned id, const std::string& path, int error) {
    KivMessageBox(FormatString(LoadString(id), path, std::strerror(error)), MB_OK | MB_ICONSTOP);
}

// Reads exactly count bytes; false with errno set otherwise (a file that shrank reads as EIO).
bool ReadFully(int fd, std::uint8_t* buffer, std::size_t count) {
    while (count > 0) {
        ssize_t got = ::read(fd, buffer, count);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            if (got == 0)
                errno = EIO;
            return false;
        }
        buffer += got;
        count -= static_cast<std::size_t>(got);
    }
    return true;
}

bool WriteFully(int fd, const std::uint8_t* buffer, std::size_t count) {
    while (count > 0) {
        ssize_t put = ::write(fd, buffer, count);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            if (put == 0)
                errno = EIO;
            return false;
        }
        buffer += put;
        count -= static_cast<std::size_t>(put);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Thrown inside the transfers for a file failure, so the transaction ends on the way out.
struct FILEERROR {
    unsigned messageId;
    int error;
};

// Thrown when the progress report asked to stop; nothing is shown for it.
struct CANCELLED {};

CFileParts::PROGRESS_SOURCE& ProgressSource() {
    static CFileParts::PROGRESS_SOURCE source;
    return source;
}

// The caller's report, else one from the installed source.
PROGRESS_CALLBACK ProgressFor(const PROGRESS_CALLBACK& given, CFileParts::TRANSFER transfer,
                              const std::string& path, std::uint64_t total) {
    if (given)
        return given;
    const CFileParts::PROGRESS_SOURCE& source = ProgressSource();
    return source ? source(transfer, path, total) : PROGRESS_CALLBACK();
}

// The part rows of a file record in part order.
std::vector<int> PartIds(int id, CKivDatabase& db) {
    std::vector<int> ids;
    CSQLiteBuffer sql;
    CursorPtr cursor(db.Query(sql.Format(kSelectPartIds, id)));
    CRow* raw = nullptr;
    while (cursor && cursor->Fetch(raw) == 0) {
        RowPtr row(raw);
        if (!row)
            continue;
        FieldPtr field(row->GetField(0));
        ids.push_back(field->AsInt());
    }
    return ids;
}

} // namespace

CFileParts::PROGRESS_SOURCE CFileParts::SetProgressSource(PROGRESS_SOURCE source) {
    return std::exchange(ProgressSource(), std::move(source));
}

bool CFileParts::StoreFile(const std::string& path, int id, CKivDatabase& db,
                           const std::string& keyText, const PROGRESS_CALLBACK& progress) {
    CFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info;
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0) {
        ReportFileError(kIdReadError, path, errno);
        return false;
    }
    // Pipes and devices report no length; storing one would silently empty the record.
    if (!S_ISREG(info.st_mode)) {
        ReportFileError(kIdReadError, path, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        return false;
    }
    const std::uint64_t length = static_cast<std::uint64_t>(info.st_size);
    const PROGRESS_CALLBACK report = ProgressFor(progress, kStoring, path, length);
    try {
        CTransactionScope transaction(db);
        CSQLiteBuffer sql;
        db.Execute(sql.Format(tx::sql::kDeleteFileParts, id));
        CMemFile plain;
        CMemFile cipher;
        std::uint64_t position = 0;
        int part = 0;
        while (position < length) {
            const std::size_t count =
                static_cast<std::size_t>(std::min<std::uint64_t>(length - position, kPartSize));
            plain.SetLength(count);
            if (!ReadFully(file.Get(), plain.GetData(), count))
                throw FILEERROR{kIdReadError, errno};
            plain.SeekToBegin();
            cipher.SetLength(0);
            cipher.Reserve(count + 2 * CKivCrypto::kChunkLength);
            CKivCrypto crypto;
            crypto.SetKey(keyText);
            if (!crypto.Encrypt(plain, cipher))
                return false;
            std::string text;
            {
                CSQLiteBinary binary(cipher.GetData(), static_cast<int>(cipher.GetLength()));
                text = binary.ToText();
            }
            if (text.empty())
                throw CSQLiteException(0, "Out of memory");
            ++part;
            const char* statement = sql.Format(tx::sql::kInsertFilePart, id, part, text.c_str());
            if (!statement)
                throw CSQLiteException(0, "Out of memory");
            db.Execute(statement);
            position += count;
            if (!ReportProgress(report, position, length))
                throw CANCELLED{};
        }
        return transaction.Commit();
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
    } catch (const FILEERROR& e) {
        ReportFileError(e.messageId, path, e.error);
    } catch (const std::bad_alloc&) {
        ReportFileError(kIdReadError, path, ENOMEM);
    } catch (const CMemFileException&) {
        ReportFileError(kIdReadError, path, ENOMEM);
    } catch (const CANCELLED&) {
    }
    return false;
}

bool CFileParts::SaveFileTo(const std::string& path, int id, CKivDatabase& db,
                            const std::string& keyText, const PROGRESS_CALLBACK& progress) {
    struct stat info;
    if (path.empty() || (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))) {
        KivMessageBox(LoadString(kIdCannotOpenTarget), MB_OK | MB_ICONSTOP);
        return false;
    }
    std::string temporary = FolderOf(path) + "/.trx-XXXXXX";
    CFd file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.Get() < 0) {
        KivMessageBox(LoadString(kIdCannotOpenTarget), MB_OK | MB_ICONSTOP);
        return false;
    }
    bool ok = false;
    try {
        CSQLiteBuffer sql;
        // The ids first, then each part on its own: sorting whole parts by number would make
        // the engine hold the entire file in memory at once.
        std::vector<int> parts = PartIds(id, db);
        const std::uint64_t total = parts.size() * std::uint64_t{kPartSize};
        const PROGRESS_CALLBACK report = ProgressFor(progress, kSaving, path, total);
        std::uint64_t written = 0;
        CMemFile plain;
        CMemFile cipher;
        for (int partId : parts) {
            cipher.SetLength(0);
            {
                CursorPtr cursor(db.Query(sql.Format(kSelectPart, partId)));
                CRow* raw = nullptr;
                if (!cursor || cursor->Fetch(raw) != 0 || !raw)
                    continue;
                RowPtr row(raw);
                FieldPtr field(row->GetField(1));
                BinaryPtr binary(field ? field->AsBinary() : nullptr);
                if (binary && binary->GetLength() > 0)
                    cipher.Write(binary->GetData(), static_cast<std::size_t>(binary->GetLength()));
            }
            cipher.SeekToBegin();
            plain.SetLength(0);
            plain.Reserve(static_cast<std::size_t>(cipher.GetLength()));
            CKivCrypto crypto;
            crypto.SetKey(keyText);
            if (!crypto.Decrypt(cipher, plain))
                throw FILEERROR{0, 0};
            if (!WriteFully(file.Get(), plain.GetData(),
                            static_cast<std::size_t>(plain.GetLength())))
                throw FILEERROR{kIdWriteError, errno};
            written += static_cast<std::uint64_t>(plain.GetLength());
            if (!ReportProgress(report, written, total))
                throw CANCELLED{};
        }
        if (file.Close() != 0)
            throw FILEERROR{kIdWriteError, errno};
        if (::rename(temporary.c_str(), path.c_str()) != 0)
            throw FILEERROR{kIdWriteError, errno};
        ok = true;
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
    } catch (const FILEERROR& e) {
        if (e.messageId)
            ReportFileError(e.messageId, path, e.error);
    } catch (const std::bad_alloc&) {
        ReportFileError(kIdWriteError, path, ENOMEM);
    } catch (const CMemFileException&) {
        ReportFileError(kIdWriteError, path, ENOMEM);
    } catch (const CANCELLED&) {
    }
    if (!ok) {
        file.Close();
        ::unlink(temporary.c_str());
    }
    return ok;
}

bool CFileParts::OnDelete(int id, CKivDatabase& db) {
    try {
        CSQLiteBuffer sql;
        db.Execute(sql.Format(tx::sql::kDeleteItemFileParts, id));
        return true;
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
        return false;
    }
}

bool CFileParts::CopyParts(int from, int to, CKivDatabase& db) {
    try {
        CSQLiteBuffer sql;
        std::vector<int> ids = PartIds(from, db);
        CTransactionScope transaction(db);
        db.Execute(sql.Format(tx::sql::kDeleteFileParts, to));
        for (int partId : ids) {
            int part = 0;
            std::string text;
            {
                CursorPtr cursor(db.Query(sql.Format(kSelectPart, partId)));
                CRow* raw = nullptr;
                if (!cursor || cursor->Fetch(raw) != 0 || !raw)
                    continue;
                RowPtr row(raw);
                FieldPtr partField(row->GetField(0));
                FieldPtr dataField(row->GetField(1));
                part = partField->AsInt();
                const char* stored = dataField->AsString();
                text = stored ? stored : "";
            }
            const char* statement = sql.Format(tx::sql::kInsertFilePart, to, part, text.c_str());
            if (!statement)
                throw CSQLiteException(0, "Out of memory");
            db.Execute(statement);
        }
        return transaction.Commit();
    } catch (const CSQLiteException& e) {
        e.ReportError(MB_ICONSTOP);
        return false;
    }
}

int CFileParts::CountParts(int id, CKivDatabase& db) {
    try {
        CSQLiteBuffer sql;
        CursorPtr cursor(db.Query(sql.Format(kCountParts, id)));
        CRow* raw = nullptr;
        if (!cursor || cursor->Fetch(raw) != 0 || !raw)
            return 0;
        RowPtr row(raw);
        FieldPtr field(row->GetField(0));
        return field->AsInt();
    } catch (const CSQLiteException&) {
        return -1;
    }
}

bool CFileParts::StoreFile(const std::string& path, int id, ITresorix* tresorix,
                           const PROGRESS_CALLBACK& progress) {
    CKivDatabase* db = tresorix ? tresorix->GetDatabase() : nullptr;
    return db && StoreFile(path, id, *db, tresorix->GetPassword(), progress);
}

bool CFileParts::SaveFileTo(const std::string& path, int id, ITresorix* tresorix,
                            const PROGRESS_CALLBACK& progress) {
    CKivDatabase* db = tresorix ? tresorix->GetDatabase() : nullptr;
    return db && SaveFileTo(path, id, *db, tresorix->GetPassword(), progress);
}

bool CFileParts::OnDelete(int id, ITresorix* tresorix) {
    CKivDatabase* db = tresorix ? tresorix->GetDatabase() : nullptr;
    return db && OnDelete(id, *db);
}
