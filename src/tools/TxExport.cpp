#include "tools/TxExport.h"

#include "platform/MessageBox.h"
#include "platform/StringTable.h"
#include "security/SecureZero.h"
#include "tools/ReportOutputCsv.h"
#include "tools/ReportOutputHtml.h"
#include "tools/ReportOutputTrx.h"
#include "tools/ReportOutputXml.h"

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

bool CTxExport::Run() {
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
    m_source->Reset();
    // A step that fails part-way must not let the report end as a success.
    bool complete = false;
    if (m_output->BeginReport(m_info)) {
        CExportGroup group;
        while (true) {
            if (!m_source->NextGroup(group)) {
                complete = true;
                break;
            }
            if (!m_output->BeginGroup(group) || !m_output->WriteGroup(group) ||
                !m_output->EndGroup(group))
                break;
        }
    }
    const bool ended = m_output->EndReport(m_info);
    const bool result = m_output->FinishFile(complete && ended);
    m_output->CloseFile();
    return result;
}
