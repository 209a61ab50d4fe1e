#pragma once

#include "model/Interfaces.h"
#include "tools/ExportFile.h"
#include "tools/FieldHelper.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CExportGroup;
class CTresorixSettings;
class CTxExport;
class IReportTemplates;

// What every export format implements. The driver (CTxExport::Run) opens the file, then calls
// BeginReport, per group BeginGroup, WriteGroup and EndGroup, then EndReport, and finally
// FinishFile and CloseFile. Text outputs write through a temporary file that replaces the
// target only when the whole report succeeded.
class CReportOutput {
public:
    // Filled by the option pages: the report title first.
    struct REPORTINFO {
        std::string title;
        std::string subtitle;
        std::vector<std::string> lines;
    };

    CReportOutput();
    // Discards a file that was not finished.
    virtual ~CReportOutput();
    CReportOutput(const CReportOutput&) = delete;
    CReportOutput& operator=(const CReportOutput&) = delete;

    // Takes the output's options from settings, as each output does when it is made. A wizard
    // chooses the output before the page with its options, so it calls this again at the end.
    virtual void ReadSettings(const CTresorixSettings&) {}

    virtual bool BeginReport(const REPORTINFO& info) = 0;
    virtual bool EndReport(const REPORTINFO& info) = 0;
    virtual bool BeginGroup(CExportGroup& group) = 0;
    // Sorts the group's items and answers false; every output writes them its own way.
    virtual bool WriteGroup(CExportGroup& group);
    virtual bool EndGroup(CExportGroup& group) = 0;
    // Closes any open file and creates the new one for path.
    virtual bool OpenFile(const std::string& path);
    // Closes the file; what was not finished is thrown away.
    virtual void CloseFile();
    // Puts the written file in place when keep is true, else throws it away; true when the
    // file is in place. A write failure is reported to the user here.
    virtual bool FinishFile(bool keep);

    // The columns in output order (indices of the column table) and the sort column (the
    // string id of its title).
    void SetColumns(std::vector<int> columns, unsigned sortColumn);
    const std::vector<int>& GetColumns() const { return m_columns; }
    unsigned GetSortColumn() const { return m_sortColumn; }

    void SetTresorix(ITresorix* tresorix);
    ITresorix* GetTresorix() const { return m_tresorix.Get(); }
    void SetExport(CTxExport* owner) { m_export = owner; }
    // Where templates come from (not owned); the built-in ones by default.
    void SetTemplates(IReportTemplates* templates);
    // Told after every item written; answering false stops the report (the driver's cancel).
    void SetItemProgress(std::function<bool()> progress) { m_itemProgress = std::move(progress); }

protected:
    // Orders the items by the sort column's value, ignoring case; equal values are ordered by
    // name (unless the sort column is the name), and items still equal keep their tree order.
    void SortGroup(CExportGroup& group);
    // False once the file could not be written.
    bool Write(std::string_view text);
    bool LoadTemplate(int number, std::string& text);
    // Whether node id holds a folder record.
    bool IsFolderNode(int id);
    // Reports a write failure of the file once.
    void ReportWriteError();
    // Outputs call this after each item: false when the report is to stop.
    bool ItemWritten() { return !m_itemProgress || m_itemProgress(); }

    CExportFile m_file;
    CFieldHelper m_helper;
    std::vector<int> m_columns;
    unsigned m_sortColumn;
    TComPtr<ITresorix> m_tresorix;
    CTxExport* m_export = nullptr;
    IReportTemplates* m_templates;
    std::function<bool()> m_itemProgress;
};

// Case-insensitive sort key of stored text (UTF-8 or Windows-1252 bytes).
std::u32string FoldedSortKey(std::string_view text);
