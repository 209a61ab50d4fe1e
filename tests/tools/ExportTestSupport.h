#pragma once

#include "common/Fixtures.h"
#include "model/Interfaces.h"
#include "platform/TresorixSettings.h"
#include "tools/ExportCheckTree.h"
#include "tools/TxExport.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace txexport {

// The record key text of sample.tpx (carol / S3cret!pass).
std::string SampleKey();
// A private copy of a vault fixture ("sample", "big") in dir.
std::filesystem::path CopyVault(const std::string& vault, const txtest::ScratchDir& dir);
// A data file object opened on path under keyText, authorised; none when it cannot be opened.
TComPtr<ITresorix> OpenVault(const std::filesystem::path& path, const std::string& keyText);
// A new data file at path holding only the root folder and the recycle bin, opened.
TComPtr<ITresorix> NewVault(const std::filesystem::path& path, const std::string& keyText);
// Adds a record of class clsid under parent; configure fills it before it is stored. Its id.
int AddRecord(ITresorix* tresorix, int parent, const CLSID& clsid, const std::string& name,
              const std::function<void(ICommonProperties*)>& configure = {});

// Installs a settings object with every default for the lifetime of the object.
class CScopedSettings : public CTresorixSettings {
public:
    CScopedSettings() : m_previous(SetTresorixSettings(this)) {}
    ~CScopedSettings() override { SetTresorixSettings(m_previous); }

private:
    CTresorixSettings* m_previous;
};

// Lowers the file size limit of the process, so that writes beyond it fail as on a full disk.
class CScopedFileSizeLimit {
public:
    explicit CScopedFileSizeLimit(std::uint64_t bytes);
    ~CScopedFileSizeLimit();
    CScopedFileSizeLimit(const CScopedFileSizeLimit&) = delete;
    CScopedFileSizeLimit& operator=(const CScopedFileSizeLimit&) = delete;

private:
    std::uint64_t m_previous;
    void (*m_previousHandler)(int);
};

// Checks the nodes with the given ids of a tree filled from the data file (no cascade).
void CheckIds(CExportCheckTree& tree, const std::vector<int>& ids);

// Runs an export of the type over tree to path; the output is set up by prepare.
bool RunExport(ITresorix* tresorix, IExportTree& tree, int type, const std::string& path,
               const std::function<void(CTxExport&)>& prepare = {});

// The file's lines without their CR LF; fails the test on a line feed without CR.
std::vector<std::string> ReadLines(const std::filesystem::path& path);
// Names of the entries of a folder, sorted.
std::vector<std::string> FolderEntries(const std::filesystem::path& folder);

} // namespace txexport
