#include "tools/TxExport.h"

#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "security/SecureZero.h"
#include "tools/ReportOutputCsv.h"
#include "tools/ReportOutputHtml.h"
#include "tools/ReportOutputTrx.h"
#include "tools/ReportOutputXml.h"

#include <algorithm>

#include <sys/stat.h>

namespace {

constexpr unsigned kIdExportCaption = 62400;
constexpr unsigned kIdCannotCreate = 62401;

// Whether both paths name one existing file.
bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat first;
    struct stat second;
    if (a.empty() || b.empty() || ::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0)
        return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace

std::string ExportCaption() {
    return LoadString(kIdExportCaption);
}

CTxExport::CTxExport(ITresorix* tresorix) : m_tresorix(tresorix) {
    SetType(kCsv);
}

CTxExport::~CTxExport() {
    m_output.reset();
    SecureZero(m_options[kOptionKeyText]);
}

void CTxExport::SetType(int type) {
    m_output.reset();
    m_source.reset();
    switch (type) {
    case kHtml:
        m_output = std::make_unique<CReportOutputHtml>();
        break;
    case kXml:
        m_output = std::make_unique<CReportOutputXml>();
        break;
    case kTrx:
        m_output = std::make_unique<CReportOutputTrx>();
        break;
    default:
        type = kCsv;
        m_output = std::make_unique<CReportOutputCsv>();
        break;
    }
    m_type = type;
}

void CTxExport::SetDataSource(std::unique_ptr<CExportDataSource> source) {
    m_source = std::move(source);
}

void CTxExport::SetOptionStrings(const std::string& userName, const std::string& keyText,
                                 const std::string& hint) {
    m_options[kOptionUserName] = userName;
    SecureZero(m_options[kOptionKeyText]);
    m_options[kOptionKeyText] = keyText;
    m_options[kOptionHint] = hint;
}

const std::string& CTxExport::GetOptionString(int option) const {
    static const std::string empty;
    return option >= 0 && option < 3 ? m_options[option] : empty;
}

std::uint64_t CTxExport::CountItems() {
    std::uint64_t count = 0;
    m_source->Reset();
    CExportGroup group;
    while (m_source->NextGroup(group))
        count += group.GetCount();
    return count;
}

bool CTxExport::Run() {
    return Run(PROGRESS_CALLBACK());
}

bool CTxExport::Run(const PROGRESS_CALLBACK& progress) {
    m_cancelled = false;
    if (!m_output || !m_source)
        return false;
    m_output->SetExport(this);
    m_output->SetTresorix(m_tresorix.Get());
    // Writing over the open data file would replace the vault by its own report.
    const bool ontoSource = m_tresorix && IsSameFile(m_path, m_tresorix->GetFileName());
    if (ontoSource || !m_output->OpenFile(m_path)) {
        KivMessageBox(FormatString(LoadString(kIdCannotCreate), m_path), MB_OK | MB_ICONINFORMATION,
                      ExportCaption());
        return false;
    }
    const std::uint64_t total = progress ? CountItems() : 0;
    std::uint64_t done = 0;
    std::uint64_t groupEnd = 0;
    // Outputs skip some groups and items, so the count follows the groups and the items only
    // move it on within the group being written.
    auto report = [&](std::uint64_t at) {
        done = at;
        if (!m_cancelled && !ReportProgress(progress, done, total))
            m_cancelled = true;
        return !m_cancelled;
    };
    // Cleared on every way out: the hook refers to this call's locals.
    struct ITEM_PROGRESS {
        CReportOutput& output;
        ~ITEM_PROGRESS() { output.SetItemProgress(nullptr); }
    } itemProgress{*m_output};
    if (progress)
        m_output->SetItemProgress([&] { return report(std::min(done + 1, groupEnd)); });
    m_source->Reset();
    // A step that fails part-way must not let the report end as a success.
    bool complete = false;
    if (report(0) && m_output->BeginReport(m_info)) {
        CExportGroup group;
        while (true) {
            if (!m_source->NextGroup(group)) {
                complete = true;
                break;
            }
            groupEnd = done + group.GetCount();
            if (!m_output->BeginGroup(group) || !m_output->WriteGroup(group) ||
                !m_output->EndGroup(group) || !report(groupEnd))
                break;
        }
    }
    const bool ended = m_output->EndReport(m_info);
    const bool result = m_output->FinishFile(complete && ended && !m_cancelled);
    m_output->CloseFile();
    return result;
}
