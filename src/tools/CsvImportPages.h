#pragma once

#include "tools/CsvImport.h"

#include <array>
#include <string>
#include <vector>

class CTresorixSettings;

// The checks and fillings of the import wizard's pages, on the values the pages' controls
// hold. Each answers whether the wizard may go on; problems are told through message boxes
// with the caption "Import".
namespace CsvImportPages {

// "Step 1 of 4 - Select File".
struct FILE_PAGE {
    bool fromClipboard = false;
    std::string path;
    // The separator edit's text.
    std::string separator = ";";
    bool firstRowIsHeader = false;
    bool stripQuotes = false;
};

// The page as it opens: the file choice, with the settings' file, flags and separator.
FILE_PAGE MakeFilePage(const CTresorixSettings& settings);
// The separator edit after typing: it holds one character at most, so a longer text gives
// the previous one back.
std::string FilterSeparator(const std::string& previous, const std::string& typed);
// Next: stores the flags and the separator in the settings and opens the source. An empty
// separator is reset to ";" (in the page and the settings) and the page stays.
bool OnFilePageNext(CCsvImport& import, FILE_PAGE& page, CTresorixSettings& settings);
// "Browse" confirmed: the chosen file goes into the page and into Import_LastCsvFile.
void OnFileChosen(FILE_PAGE& page, CTresorixSettings& settings, const std::string& path);

// "Step 2 of 4 - Select Fields": per target a check box and a list of the first row's fields.
struct FIELDS_PAGE {
    // The list entries, "[Field %1]: %2", one per field of the first row.
    std::vector<std::string> entries;
    std::array<bool, CCsvImport::kTargetCount> checked{};
    std::array<int, CCsvImport::kTargetCount> selected{};
};

// Entering the page: reads the first row of the source. False (with the "empty source" box)
// when there is none; only Back may be used then.
bool OnFieldsPageEnter(CCsvImport& import, FIELDS_PAGE& page);
// Next: maps the checked targets and reads every row; false without a checked target (with a
// box) or when no record was read (without one).
bool OnFieldsPageNext(CCsvImport& import, const FIELDS_PAGE& page);
// Back: the source is closed, so Next on the file page opens it again.
void OnFieldsPageBack(CCsvImport& import);

// "Step 3 of 4 - Select Values to Import": one line per record.
struct VALUE_LINE {
    std::array<std::string, CCsvImport::kTargetCount> values;
    bool checked = false;
    // Shown on the warning colour (RGB 255, 190, 125) when the row was not valid.
    bool warning = false;
};
inline constexpr unsigned kWarningColour = 0x7DBEFF; // COLORREF of RGB(255, 190, 125)

std::vector<VALUE_LINE> OnValuesPageEnter(const CCsvImport& import);
// Next: the check marks in list order become the selection; false with a box when none is
// checked or the list does not match the records.
bool OnValuesPageNext(CCsvImport& import, const std::vector<bool>& checks);

// "Wizard completed": stores the selected records.
struct FINISH_PAGE {
    int count = 0;
    // "Done" when something was stored, else "Close".
    std::string finishCaption;
    // "%1 item(s) has been imported."
    std::string text;
};
FINISH_PAGE OnFinishPageEnter(CCsvImport& import);
// The finish button: every view reloads (hint 0).
void OnWizardFinish(CCsvImport& import);

} // namespace CsvImportPages
