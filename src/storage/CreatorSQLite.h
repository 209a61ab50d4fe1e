#pragma once

#include "storage/Creator.h"

class CKivDatabase;

// Creates a data file in the SQLite 2.8 format: moves an old file at the path aside, then
// builds the new file under a temporary name beside it, in one transaction: the schema, the
// header row with a sealed header payload, and the default folders. Only a committed file is
// renamed to the path, so the path never holds a half-made data file.
class CCreatorSQLite : public CCreator {
public:
    int Create() override;

    // The header payload of a new file: 16,384 bytes whose first 8 are zero (no favorites),
    // followed by the additive-checksum seal.
    static std::vector<std::uint8_t> BuildHeaderPayload();

    // Creates the root folder, the recycle bin and, when asked for, the chosen categories on
    // db, which stays open and is not owned. False when any folder could not be stored.
    bool CreateDefaultFolders(CKivDatabase* db);

    // Makes one folder of class clsid named name under parent (0 for none) through the
    // data-file object of CreateDefaultFolders; its identifier, 0 when no node could be made.
    int CreateFolder(const CLSID& clsid, int parent, const std::string& name);

private:
    void FillHeader(CKivDatabase& db);
    // Whether the row of a new folder really holds its record (storing reports but does not
    // pass on its failures).
    static bool HasRecord(CKivDatabase& db, int id);
    // Everything inside the transaction, on the temporary file.
    bool Build(const std::string& tempPath);
};
