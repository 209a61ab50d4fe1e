#pragma once

#include "tools/ReportOutput.h"

#include <map>
#include <memory>
#include <string>

class CTransactionScope;

// A new data file holding copies of the chosen records. The file is made by the data-file
// creator under a temporary name beside the target and filled in one transaction; only a
// complete copy is committed and moved to the target (an old file there is moved aside to
// its first free ".bakNN" name, as creating a data file does).
class CReportOutputTrx : public CReportOutput {
public:
    CReportOutputTrx();
    ~CReportOutputTrx() override;

    // The new file's user name, record key text and hint; taken from the driver's option
    // strings when it has them.
    void SetCredentials(const std::string& userName, const std::string& keyText,
                        const std::string& hint);
    // Where attached files pass through on their way into the new file: the folder "TRX10"
    // under base (the per-user cache folder by default).
    void SetTempFolderBase(const std::string& base) { m_tempBase = base; }

    bool BeginReport(const REPORTINFO& info) override;
    bool EndReport(const REPORTINFO& info) override;
    bool BeginGroup(CExportGroup& group) override;
    // Copies the items in the group's order, unsorted.
    bool WriteGroup(CExportGroup& group) override;
    bool EndGroup(CExportGroup& group) override;
    bool OpenFile(const std::string& path) override;
    void CloseFile() override;
    bool FinishFile(bool keep) override;

    // The new data file while it is being written.
    ITresorix* GetTarget() const { return m_target.Get(); }
    // The new identifier of a copied source node, 0 when it was not copied.
    int GetCopyId(int sourceId) const;

private:
    bool CopyItem(int sourceId, int groupId);
    // False when contents the source holds could not be put into the copy.
    bool CopyContents(IFileProperties* source, int sourceId, ICommonProperties* copy, int copyId,
                      const std::string& name);
    void ReportFailure(const std::string& reason);

    TComPtr<ITresorix> m_target;
    std::map<int, int> m_copies;
    std::unique_ptr<CTransactionScope> m_transaction;
    std::string m_targetPath;
    std::string m_tempPath;
    std::string m_userName;
    std::string m_keyText;
    std::string m_hint;
    bool m_haveCredentials = false;
    std::string m_tempBase;
};
