#include "tools/ReportOutput.h"

#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "tools/ExportColumns.h"
#include "tools/ExportDataSource.h"
#include "tools/ReportTemplates.h"
#include "tools/Utf8Text.h"

#include <QChar>

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

constexpr unsigned kIdExportCaption = 62400;
constexpr unsigned kIdWriteError = 62408;

} // namespace

std::u32string FoldedSortKey(std::string_view text) {
    std::u32string key = DecodeText(text);
    for (char32_t& c : key)
        c = QChar::toCaseFolded(c);
    return key;
}

CReportOutput::CReportOutput()
    : m_columns(CExportColumns::CheckedColumns(CExportColumns::Default())),
      m_sortColumn(CExportColumns::TitleId(kColumnName)), m_templates(&BuiltInReportTemplates()) {}

CReportOutput::~CReportOutput() = default;

bool CReportOutput::WriteGroup(CExportGroup& group) {
    SortGroup(group);
    return false;
}

bool CReportOutput::OpenFile(const std::string& path) {
    CloseFile();
    return m_file.Create(path);
}

void CReportOutput::CloseFile() {
    m_file.Discard();
}

bool CReportOutput::FinishFile(bool keep) {
    if (m_file.HasFailed()) {
        ReportWriteError();
        m_file.Discard();
        return false;
    }
    if (!keep) {
        m_file.Discard();
        return false;
    }
    if (!m_file.Commit()) {
        ReportWriteError();
        return false;
    }
    return true;
}

void CReportOutput::ReportWriteError() {
    KivMessageBox(FormatString(LoadString(kIdWriteError), m_file.GetTarget(),
                               std::strerror(m_file.GetError())),
                  MB_OK | MB_ICONSTOP, LoadString(kIdExportCaption));
}

void CReportOutput::SetColumns(std::vector<int> columns, unsigned sortColumn) {
    m_columns = std::move(columns);
    m_sortColumn = sortColumn;
}

void CReportOutput::SetTresorix(ITresorix* tresorix) {
    m_tresorix = TComPtr<ITresorix>(tresorix);
    m_helper.SetTresorix(tresorix);
}

void CReportOutput::SetTemplates(IReportTemplates* templates) {
    m_templates = templates ? templates : &BuiltInReportTemplates();
}

bool CReportOutput::Write(std::string_view text) {
    return m_file.Write(text);
}

bool CReportOutput::LoadTemplate(int number, std::string& text) {
    return m_templates->Load(number, text);
}

bool CReportOutput::IsFolderNode(int id) {
    if (!m_helper.SetItem(id))
        return false;
    return m_helper.GetItem()->IsFolder();
}

void CReportOutput::SortGroup(CExportGroup& group) {
    const std::size_t count = group.GetCount();
    const int sortIndex = CExportColumns::IndexOfTitle(m_sortColumn);
    const bool byName = sortIndex == kColumnName;
    std::vector<std::u32string> keys(count);
    std::vector<std::u32string> names(count);
    for (std::size_t i = 0; i < count; ++i) {
        m_helper.SetItem(group.GetAt(i));
        keys[i] = FoldedSortKey(m_helper.GetValue(sortIndex));
        if (!byName)
            names[i] = FoldedSortKey(m_helper.GetValue(kColumnName));
    }
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (keys[a] != keys[b])
            return keys[a] < keys[b];
        return !byName && names[a] < names[b];
    });
    std::vector<int> items(count);
    for (std::size_t i = 0; i < count; ++i)
        items[i] = group.GetAt(order[i]);
    group.SetItems(std::move(items));
}
