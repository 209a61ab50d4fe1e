#include "tools/ReportOutputXml.h"

#include "model/KivCustomFields.h"
#include "platform/TresorixSettings.h"
#include "tools/ExportColumns.h"
#include "tools/ExportDataSource.h"
#include "tools/ReportOutputHtml.h"
#include "tools/ReportTemplates.h"
#include "tools/ReportText.h"

namespace {

void AppendElement(std::string& out, const std::string& name, const std::string& value) {
    out += '<';
    out += name;
    out += '>';
    out += MarkupText(value);
    out += "</";
    out += name;
    out += ">\n";
}

} // namespace

CReportOutputXml::CReportOutputXml() {
    ReadSettings(TresorixSettings());
}

void CReportOutputXml::ReadSettings(const CTresorixSettings& settings) {
    m_customFields = settings.Export_XmlReportCustomFields != 0;
}

bool CReportOutputXml::BeginReport(const REPORTINFO& info) {
    std::string head;
    if (!LoadTemplate(kTemplateXmlHead, head))
        return false;
    return Write(
        FillTemplate(head, {{"%TITLE%", MarkupText(info.title)}, {"%APPVER%", kReportAppVersion}}));
}

bool CReportOutputXml::EndReport(const REPORTINFO&) {
    return Write("</DATA>\n</XML_DIZ_INFO>");
}

bool CReportOutputXml::BeginGroup(CExportGroup& group) {
    if (!IsFolderNode(group.GetID()))
        return true;
    return Write("<GROUP>\n\t<NAME>" + MarkupText(m_helper.GetItem()->GetName()) + "</NAME>\n");
}

bool CReportOutputXml::WriteGroup(CExportGroup& group) {
    if (!IsFolderNode(group.GetID()))
        return true;
    SortGroup(group);
    std::vector<std::string> names;
    for (int column : m_columns)
        names.push_back(XmlElementName(CExportColumns::Title(column)));
    std::string out;
    for (int id : group.GetItems()) {
        m_helper.SetItem(id);
        out = "<ITEM>\n";
        for (std::size_t i = 0; i < m_columns.size(); ++i)
            AppendElement(out, names[i], m_helper.GetValue(m_columns[i]));
        if (m_customFields && m_helper.GetItem()) {
            CKivCustomFields fields;
            m_helper.GetItem()->GetCustomFields(fields);
            if (fields.GetCount() > 0) {
                out += "<CUSTOM_FIELDS>";
                for (int i = 0; i < fields.GetCount(); ++i) {
                    const CKivCustomFields::CUSTOMFIELD& field = fields.GetAt(i);
                    out += "<FIELD>";
                    AppendElement(out, "ID", std::to_string(field.id));
                    AppendElement(out, "Name", field.name);
                    AppendElement(out, "Value", field.value);
                    out += "</FIELD>\n";
                }
                out += "</CUSTOM_FIELDS>";
            }
        }
        out += "</ITEM>\n\n";
        if (!Write(out) || !ItemWritten())
            return false;
    }
    return true;
}

bool CReportOutputXml::EndGroup(CExportGroup& group) {
    if (!IsFolderNode(group.GetID()))
        return true;
    return Write("</GROUP>\n\n\n");
}
