#include "tools/ReportOutputHtml.h"

#include "platform/TresorixSettings.h"
#include "tools/ExportColumns.h"
#include "tools/ExportDataSource.h"
#include "tools/ReportTemplates.h"
#include "tools/ReportText.h"

CReportOutputHtml::CReportOutputHtml() {
    ReadSettings(TresorixSettings());
}

void CReportOutputHtml::ReadSettings(const CTresorixSettings& settings) {
    m_options.look = settings.Export_HtmlReportType == kSimple ? kSimple : kClassic;
    m_options.fullWidth = settings.Export_HtmlFullWidth != 0;
    m_options.variegatedRows = settings.Export_HtmlVariegatedRows != 0;
    m_options.searchField = settings.Export_HtmlReportSearchField != 0;
}

std::string CReportOutputHtml::Width() const {
    return m_options.fullWidth ? "width=\"100%\"" : std::string();
}

void CReportOutputHtml::AppendCell(std::string& out, const std::string& text) const {
    out += "<td>";
    out += text.empty() ? std::string("&nbsp;") : MarkupText(text);
    out += "</td>\n";
}

bool CReportOutputHtml::BeginReport(const REPORTINFO& info) {
    std::string head;
    if (!LoadTemplate(m_options.look == kSimple ? kTemplateSimpleHead : kTemplateClassicHead, head))
        return false;
    if (!Write(FillTemplate(head, {{"%TITLE%", MarkupText(info.title)},
                                   {"%APPVER%", kReportAppVersion},
                                   {"%WIDTH%", Width()}})))
        return false;
    if (!m_options.searchField)
        return true;
    std::string form;
    return LoadTemplate(kTemplateFindForm, form) && Write(form);
}

bool CReportOutputHtml::EndReport(const REPORTINFO&) {
    std::string foot;
    return LoadTemplate(kTemplateFoot, foot) && Write(foot);
}

bool CReportOutputHtml::BeginGroup(CExportGroup& group) {
    if (!IsFolderNode(group.GetID()))
        return true;
    std::string start;
    if (!LoadTemplate(kTemplateGroupStart, start))
        return false;
    return Write(
        FillTemplate(start, {{"%BORDER%", m_options.look == kSimple ? "1" : "0"},
                             {"%WIDTH%", Width()},
                             {"%GROUPHEADER%", MarkupText(m_helper.GetItem()->GetName())}}));
}

bool CReportOutputHtml::WriteGroup(CExportGroup& group) {
    if (!IsFolderNode(group.GetID()))
        return true;
    SortGroup(group);
    m_rowCounter = 0;
    std::string out = "<tr class=\"hdr-table\">\n";
    for (int column : m_columns)
        AppendCell(out, CExportColumns::Title(column));
    out += "</tr>\n";
    if (!Write(out))
        return false;
    for (int id : group.GetItems()) {
        m_helper.SetItem(id);
        ++m_rowCounter;
        const bool odd = m_rowCounter % 2 == 1;
        out =
            m_options.variegatedRows && odd ? "<tr class=\"text\">\n" : "<tr class=\"tr-even\">\n";
        for (int column : m_columns)
            AppendCell(out, m_helper.GetValue(column));
        out += "</tr>\n";
        if (!Write(out) || !ItemWritten())
            return false;
    }
    return true;
}

bool CReportOutputHtml::EndGroup(CExportGroup& group) {
    if (!IsFolderNode(group.GetID()))
        return true;
    std::string end;
    if (!LoadTemplate(kTemplateGroupEnd, end))
        return false;
    return Write(FillTemplate(end, {{"%COLSPAN%", std::to_string(m_columns.size())},
                                    {"%TOTAL%", std::to_string(m_rowCounter)}}));
}
