#pragma once

#include "model/Interfaces.h"
#include "platform/ProgressCallback.h"
#include "tools/ExportDataSource.h"
#include "tools/ReportOutput.h"

#include <memory>
#include <string>

// The export driver: an output of the chosen format, the data source of the chosen nodes, and
// the protocol that runs one against the other.
class CTxExport {
public:
    enum TYPE { kCsv = 0, kHtml = 1, kXml = 2, kTrx = 3 };

    // The three option strings of the TRX output.
    enum OPTION { kOptionUserName = 0, kOptionKeyText = 1, kOptionHint = 2 };

    explicit CTxExport(ITresorix* tresorix = nullptr);
    ~CTxExport();
    CTxExport(const CTxExport&) = delete;
    CTxExport& operator=(const CTxExport&) = delete;

    // Drops the previous output and data source and makes the output of the type: CSV for 0
    // and any unknown value, HTML for 1, XML for 2, TRX for 3.
    void SetType(int type);
    int GetType() const { return m_type; }
    CReportOutput* GetOutput() const { return m_output.get(); }
    // Uses an output of another kind (the type is kept).
    void SetOutput(std::unique_ptr<CReportOutput> output) { m_output = std::move(output); }

    // Replaces (and destroys) the previous data source.
    void SetDataSource(std::unique_ptr<CExportDataSource> source);
    CExportDataSource* GetDataSource() const { return m_source.get(); }

    void SetTresorix(ITresorix* tresorix) { m_tresorix = TComPtr<ITresorix>(tresorix); }
    ITresorix* GetTresorix() const { return m_tresorix.Get(); }

    void SetFileName(const std::string& path) { m_path = path; }
    const std::string& GetFileName() const { return m_path; }

    void SetReportInfo(const CReportOutput::REPORTINFO& info) { m_info = info; }
    const CReportOutput::REPORTINFO& GetReportInfo() const { return m_info; }
    void SetOptionStrings(const std::string& userName, const std::string& keyText,
                          const std::string& hint);
    const std::string& GetOptionString(int option) const;

    // Writes the file: true when the whole report was written and put in place. A file that
    // cannot be made is reported ("Cannot create or open file %1"); after any failure the
    // target is left as it was.
    bool Run();
    // The same, telling progress how many of the items of all groups are written. When
    // progress answers false the report stops, the unfinished file is thrown away before it
    // would replace the target, Run answers false and WasCancelled() is true.
    bool Run(const PROGRESS_CALLBACK& progress);
    bool WasCancelled() const { return m_cancelled; }

private:
    // The items of all groups the data source hands out.
    std::uint64_t CountItems();

    std::string m_path;
    CReportOutput::REPORTINFO m_info;
    std::unique_ptr<CReportOutput> m_output;
    std::unique_ptr<CExportDataSource> m_source;
    int m_type = kCsv;
    TComPtr<ITresorix> m_tresorix;
    std::string m_options[3];
    bool m_cancelled = false;
};

// The caption of the export's message boxes, "Export".
std::string ExportCaption();
