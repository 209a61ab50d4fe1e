#include "SqlTestUtil.h"

#include <QCryptographicHash>

namespace sqltest {

Result Query(sqlite* db, const std::string& sql) {
    Result r;
    sqlite_vm* vm = nullptr;
    const char* tail = nullptr;
    char* err = nullptr;
    r.rc = sqlite_compile(db, sql.c_str(), &tail, &vm, &err);
    if (r.rc != 0) {
        r.error = err ? err : "";
        sqlite_freemem(err);
        return r;
    }
    if (!vm)
        return r;
    int ncol = 0;
    const char** values = nullptr;
    const char** names = nullptr;
    int rc;
    while ((rc = sqlite_step(vm, &ncol, &values, &names)) == SQLITE_ROW) {
        Row row;
        for (int i = 0; i < ncol; ++i)
            row.push_back(values[i] ? std::optional<std::string>(values[i]) : std::nullopt);
        r.rows.push_back(std::move(row));
    }
    if (rc == SQLITE_DONE && names) {
        for (int i = 0; i < ncol; ++i) {
            r.names.push_back(names[i]);
            r.types.push_back(names[ncol + i] ? std::optional<std::string>(names[ncol + i])
                                              : std::nullopt);
        }
    }
    r.rc = sqlite_finalize(vm, &err);
    r.error = err ? err : "";
    sqlite_freemem(err);
    return r;
}

std::pair<int, std::string> Exec(sqlite* db, const std::string& sql) {
    char* err = nullptr;
    int rc = sqlite_exec(db, sql.c_str(), nullptr, nullptr, &err);
    std::string msg = err ? err : "";
    sqlite_freemem(err);
    return {rc, msg};
}

std::vector<std::string> Column(const Result& r, size_t col) {
    std::vector<std::string> out;
    for (const Row& row : r.rows)
        out.push_back(col < row.size() && row[col] ? *row[col] : "<NULL>");
    return out;
}

std::string Digest(const std::vector<Row>& rows) {
    QCryptographicHash h(QCryptographicHash::Sha256);
    for (const Row& row : rows) {
        for (const auto& v : row) {
            if (!v) {
                h.addData(QByteArrayView("\0", 1));
                continue;
            }
            unsigned char len[5] = {1, static_cast<unsigned char>(v->size() >> 24),
                                    static_cast<unsigned char>(v->size() >> 16),
                                    static_cast<unsigned char>(v->size() >> 8),
                                    static_cast<unsigned char>(v->size())};
            h.addData(QByteArrayView(reinterpret_cast<const char*>(len), 5));
            h.addData(QByteArrayView(v->data(), static_cast<qsizetype>(v->size())));
        }
    }
    return h.result().toHex().toStdString();
}

} // namespace sqltest
