#include "tools/ReportOutputCsv.h"

#include "platform/TresorixSettings.h"
#include "tools/ExportColumns.h"
#include "tools/ExportDataSource.h"

namespace {

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    if (from.empty())
        return;
    for (std::size_t pos = text.find(from); pos != std::string::npos;
         pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
}

} // namespace

CReportOutputCsv::CReportOutputCsv() {
    ReadSettings(TresorixSettings());
}

void CReportOutputCsv::ReadSettings(const CTresorixSettings& settings) {
    m_options.separator = settings.Import_CsvFieldSeparator;
    m_options.header = settings.Import_CsvFirstRowIsHeader != 0;
    m_options.quotes = settings.Import_CsvStripQuotes != 0;
    m_options.changeCrLf = settings.Export_ChangeCRLF != 0;
}

std::string CReportOutputCsv::FormatValue(std::string value) const {
    if (m_options.quotes)
        value = '"' + value + '"';
    if (m_options.changeCrLf)
        ReplaceAll(value, "\n", "\\n");
    if (!m_options.separator.empty() && value.find(m_options.separator) != std::string::npos)
        ReplaceAll(value, m_options.separator, "\\" + m_options.separator);
    value += m_options.separator;
    return value;
}

bool CReportOutputCsv::EndLine() {
    return Write("\n");
}

bool CReportOutputCsv::BeginReport(const REPORTINFO&) {
    if (!m_options.header)
        return true;
    std::string line;
    for (int column : m_columns)
        line += FormatValue(CExportColumns::Title(column));
    return Write(line) && EndLine();
}

bool CReportOutputCsv::EndReport(const REPORTINFO&) {
    return !m_file.HasFailed();
}

bool CReportOutputCsv::BeginGroup(CExportGroup&) {
    return true;
}

bool CReportOutputCsv::WriteGroup(CExportGroup& group) {
    SortGroup(group);
    std::string line;
    for (int id : group.GetItems()) {
        m_helper.SetItem(id);
        line.clear();
        for (int column : m_columns)
            line += FormatValue(m_helper.GetValue(column));
        if (!Write(line) || !EndLine() || !ItemWritten())
            return false;
    }
    return true;
}

bool CReportOutputCsv::EndGroup(CExportGroup&) {
    return true;
}
