#include "tools/CsvImportPages.h"

#include "model/TxDoc.h"
#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "platform/TresorixSettings.h"
#include "tools/Utf8Text.h"

#include <algorithm>
#include <memory>

namespace CsvImportPages {

namespace {

constexpr unsigned kIdNoFile = 61361;
constexpr unsigned kIdNoSeparator = 61363;
constexpr unsigned kIdNoField = 61364;
constexpr unsigned kIdCannotOpenFile = 61365;
constexpr unsigned kIdNoClipboardText = 61366;
constexpr unsigned kIdEmptySource = 61367;
constexpr unsigned kIdFieldEntry = 61368;
constexpr unsigned kIdNoValue = 61377;
constexpr unsigned kIdImportCaption = 62240;
constexpr unsigned kIdImportedCount = 62242;
constexpr unsigned kIdDone = 62243;
constexpr unsigned kIdClose = 62244;

constexpr char kDefaultSeparator = ';';

void ImportBox(unsigned id, const std::string& arg = {}) {
    KivMessageBox(FormatString(LoadString(id), arg), MB_OK | MB_ICONINFORMATION,
                  LoadString(kIdImportCaption));
}

} // namespace

FILE_PAGE MakeFilePage(const CTresorixSettings& settings) {
    FILE_PAGE page;
    page.fromClipboard = false;
    page.path = settings.Import_LastCsvFile;
    page.separator = settings.Import_CsvFieldSeparator;
    page.firstRowIsHeader = settings.Import_CsvFirstRowIsHeader != 0;
    page.stripQuotes = settings.Import_CsvStripQuotes != 0;
    return page;
}

std::string FilterSeparator(const std::string& previous, const std::string& typed) {
    return DecodeText(typed).size() > 1 ? previous : typed;
}

bool OnFilePageNext(CCsvImport& import, FILE_PAGE& page, CTresorixSettings& settings) {
    settings.Import_CsvFirstRowIsHeader = page.firstRowIsHeader ? 1 : 0;
    settings.Import_CsvStripQuotes = page.stripQuotes ? 1 : 0;
    settings.Import_CsvFieldSeparator = page.separator;
    // The reader splits bytes, so a separator must be one byte in every encoding: ASCII.
    const bool usable = page.separator.size() == 1 &&
                        static_cast<unsigned char>(page.separator[0]) < 0x80 &&
                        page.separator[0] != '\n' && page.separator[0] != '\r';
    if (!usable) {
        ImportBox(kIdNoSeparator);
        page.separator = std::string(1, kDefaultSeparator);
        settings.Import_CsvFieldSeparator = page.separator;
        return false;
    }
    CKivCsvFile& reader = import.GetReader();
    reader.SetSeparator(page.separator[0]);
    reader.SetStripQuotes(page.stripQuotes);
    import.SetSkipHeader(page.firstRowIsHeader);
    if (page.fromClipboard) {
        if (!reader.OpenClipboard()) {
            ImportBox(kIdNoClipboardText);
            return false;
        }
        return true;
    }
    if (page.path.empty()) {
        ImportBox(kIdNoFile);
        return false;
    }
    if (!reader.Open(page.path)) {
        ImportBox(kIdCannotOpenFile, page.path);
        return false;
    }
    return true;
}

void OnFileChosen(FILE_PAGE& page, CTresorixSettings& settings, const std::string& path) {
    page.path = path;
    settings.Import_LastCsvFile = path;
}

bool OnFieldsPageEnter(CCsvImport& import, FIELDS_PAGE& page) {
    CKivCsvFile& reader = import.GetReader();
    reader.Rewind();
    std::unique_ptr<CKivCsvRow> row = reader.ReadRow();
    if (!row) {
        ImportBox(kIdEmptySource);
        return false;
    }
    page.entries.clear();
    const int fields = row->GetFieldCount();
    for (int i = 0; i < fields; ++i)
        page.entries.push_back(
            FormatString(LoadString(kIdFieldEntry), std::to_string(i + 1), row->GetField(i)));
    for (int k = 0; k < CCsvImport::kTargetCount; ++k) {
        const auto slot = static_cast<std::size_t>(k);
        if (fields > k) {
            page.selected[slot] = k;
            page.checked[slot] = true;
        } else {
            page.selected[slot] = 0;
        }
    }
    return true;
}

bool OnFieldsPageNext(CCsvImport& import, const FIELDS_PAGE& page) {
    bool any = false;
    for (int k = 0; k < CCsvImport::kTargetCount; ++k) {
        const auto slot = static_cast<std::size_t>(k);
        import.SetColumn(k, page.checked[slot] ? page.selected[slot] : -1);
        any = any || page.checked[slot];
    }
    if (!any) {
        ImportBox(kIdNoField);
        return false;
    }
    return import.ReadAll() > 0;
}

void OnFieldsPageBack(CCsvImport& import) {
    import.GetReader().Close();
}

std::vector<VALUE_LINE> OnValuesPageEnter(const CCsvImport& import) {
    std::vector<VALUE_LINE> lines;
    const int count = import.GetRecordCount();
    lines.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        VALUE_LINE line;
        line.values = import.GetValues(i);
        line.checked = import.IsValid(i);
        line.warning = !line.checked;
        lines.push_back(std::move(line));
    }
    return lines;
}

bool OnValuesPageNext(CCsvImport& import, const std::vector<bool>& checks) {
    const bool any = std::find(checks.begin(), checks.end(), true) != checks.end();
    if (!any || !import.SetSelection(checks)) {
        ImportBox(kIdNoValue);
        return false;
    }
    return true;
}

FINISH_PAGE OnFinishPageEnter(CCsvImport& import) {
    FINISH_PAGE page;
    page.count = import.Commit();
    page.finishCaption = LoadString(page.count > 0 ? kIdDone : kIdClose);
    page.text = FormatString(LoadString(kIdImportedCount), std::to_string(page.count));
    return page;
}

void OnWizardFinish(CCsvImport& import) {
    if (CTxDoc* document = import.GetDocument())
        document->UpdateAllViews(nullptr, CTxDoc::kHintReloadAll);
}

} // namespace CsvImportPages
