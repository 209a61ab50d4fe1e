#pragma once

#include "tools/ReportOutput.h"

// CSV text in the dialect the CSV reader reads back: every value followed by the separator,
// a backslash before each separator inside a value, line feeds in values optionally written
// as backslash-n, values optionally surrounded by double quotes.
class CReportOutputCsv : public CReportOutput {
public:
    struct OPTIONS {
        std::string separator = ";";
        bool header = false;
        bool quotes = false;
        bool changeCrLf = true;
    };

    // Options from the settings (Import_CsvFieldSeparator, Import_CsvFirstRowIsHeader,
    // Import_CsvStripQuotes, Export_ChangeCRLF).
    CReportOutputCsv();
    void ReadSettings(const CTresorixSettings& settings) override;

    void SetOptions(const OPTIONS& options) { m_options = options; }
    const OPTIONS& GetOptions() const { return m_options; }

    bool BeginReport(const REPORTINFO& info) override;
    bool EndReport(const REPORTINFO& info) override;
    bool BeginGroup(CExportGroup& group) override;
    bool WriteGroup(CExportGroup& group) override;
    bool EndGroup(CExportGroup& group) override;

    // A value as it is written, separator included.
    std::string FormatValue(std::string value) const;

private:
    bool EndLine();

    OPTIONS m_options;
};
