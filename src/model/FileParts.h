#pragma once

#include "platform/ProgressCallback.h"

#include <cstdint>
#include <string>

class CKivDatabase;
class ITresorix;

// The bytes of attached files, kept in TRESORIX_DATA under the node identifier of their file
// record, in parts of kPartSize bytes, each encrypted on its own under the record key text.
// Files are streamed one part at a time, so no step holds more than one part (and its
// encrypted and encoded forms) in memory. Failures are shown to the user and give false.
class CFileParts {
public:
    static constexpr std::size_t kPartSize = 524288;

    enum TRANSFER { kStoring, kSaving };
    // Makes the progress report of one transfer of total bytes (for saving: the number of
    // parts times kPartSize, since the last part's length is only known once decrypted), or
    // none. The windows install one that shows a progress window for big files.
    using PROGRESS_SOURCE = std::function<PROGRESS_CALLBACK(
        TRANSFER transfer, const std::string& path, std::uint64_t total)>;
    // Installs the source used by transfers given no progress of their own; returns the
    // previous one (empty: none).
    static PROGRESS_SOURCE SetProgressSource(PROGRESS_SOURCE source);

    // Replaces the stored parts of node id by the file at path, all in one transaction: when
    // anything fails the previous parts stay as they were. progress hears the bytes stored
    // after every part; when it answers false the transaction is rolled back and the result
    // is false without a message.
    static bool StoreFile(const std::string& path, int id, CKivDatabase& db,
                          const std::string& keyText, const PROGRESS_CALLBACK& progress = {});
    static bool StoreFile(const std::string& path, int id, ITresorix* tresorix,
                          const PROGRESS_CALLBACK& progress = {});

    // Writes the stored bytes of node id to path. The bytes go to a new file beside the target
    // (mode 0600) that replaces the target only when complete, so a failure leaves an existing
    // target unchanged. "Cannot open target file." when that file cannot be made. progress
    // hears the bytes written after every part; answering false removes the unfinished file
    // and gives false without a message.
    static bool SaveFileTo(const std::string& path, int id, CKivDatabase& db,
                           const std::string& keyText, const PROGRESS_CALLBACK& progress = {});
    static bool SaveFileTo(const std::string& path, int id, ITresorix* tresorix,
                           const PROGRESS_CALLBACK& progress = {});

    // Deletes the stored parts of node id (before the node goes).
    static bool OnDelete(int id, CKivDatabase& db);
    static bool OnDelete(int id, ITresorix* tresorix);

    // Gives node to a copy of the stored parts of node from (replacing what to had). The
    // encrypted parts are copied as they are: under the same key they are exactly what
    // storing the same bytes again would write, and no plaintext has to touch the disk.
    static bool CopyParts(int from, int to, CKivDatabase& db);

    // Number of stored parts of node id; -1 on a database failure (not shown).
    static int CountParts(int id, CKivDatabase& db);
};
