#pragma once

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

    // Replaces the stored parts of node id by the file at path, all in one transaction: when
    // anything fails the previous parts stay as they were.
    static bool StoreFile(const std::string& path, int id, CKivDatabase& db,
                          const std::string& keyText);
    static bool StoreFile(const std::string& path, int id, ITresorix* tresorix);

    // Writes the stored bytes of node id to path. The bytes go to a new file beside the target
    // (mode 0600) that replaces the target only when complete, so a failure leaves an existing
    // target unchanged. "Cannot open target file." when that file cannot be made.
    static bool SaveFileTo(const std::string& path, int id, CKivDatabase& db,
                           const std::string& keyText);
    static bool SaveFileTo(const std::string& path, int id, ITresorix* tresorix);

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
