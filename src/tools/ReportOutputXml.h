#pragma once

#include "tools/ReportOutput.h"

// An XML document: one GROUP element per checked folder, one ITEM per item with an element
// per column and, when asked for, the record's custom fields. Written in UTF-8, as declared.
class CReportOutputXml : public CReportOutput {
public:
    // Custom fields from the setting Export_XmlReportCustomFields.
    CReportOutputXml();
    void ReadSettings(const CTresorixSettings& settings) override;

    void SetCustomFields(bool on) { m_customFields = on; }
    bool GetCustomFields() const { return m_customFields; }

    bool BeginReport(const REPORTINFO& info) override;
    bool EndReport(const REPORTINFO& info) override;
    bool BeginGroup(CExportGroup& group) override;
    bool WriteGroup(CExportGroup& group) override;
    bool EndGroup(CExportGroup& group) override;

private:
    bool m_customFields = true;
};
