#pragma once

#include "tools/ReportOutput.h"

// A web page: a head in the Classic or Simple look, one table per checked folder with a row
// per item, and a foot. Every text is written as escaped UTF-8, as the page declares.
class CReportOutputHtml : public CReportOutput {
public:
    enum LOOK { kClassic = 0, kSimple = 1 };

    struct OPTIONS {
        int look = kClassic;
        bool fullWidth = true;
        bool variegatedRows = false;
        bool searchField = false;
    };

    // Options from the settings (Export_HtmlReportType, Export_HtmlFullWidth,
    // Export_HtmlVariegatedRows, Export_HtmlReportSearchField).
    CReportOutputHtml();
    void ReadSettings(const CTresorixSettings& settings) override;

    void SetOptions(const OPTIONS& options) { m_options = options; }
    const OPTIONS& GetOptions() const { return m_options; }

    bool BeginReport(const REPORTINFO& info) override;
    bool EndReport(const REPORTINFO& info) override;
    bool BeginGroup(CExportGroup& group) override;
    bool WriteGroup(CExportGroup& group) override;
    bool EndGroup(CExportGroup& group) override;

private:
    std::string Width() const;
    void AppendCell(std::string& out, const std::string& text) const;

    OPTIONS m_options;
    int m_rowCounter = 0;
};

// The version text the reports name as their generator.
inline constexpr char kReportAppVersion[] = "Version 3.0";
