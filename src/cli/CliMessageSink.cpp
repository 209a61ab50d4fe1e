#include "cli/CliMessageSink.h"

#include <algorithm>

CCliMessageSink::CCliMessageSink(std::ostream& err)
    : m_err(err), m_previous(SetMessageSink(this)) {}

CCliMessageSink::~CCliMessageSink() {
    SetMessageSink(m_previous);
}

int CCliMessageSink::Show(const std::string& text, const std::string&, unsigned flags) {
    std::lock_guard lock(m_mutex);
    m_texts.push_back(text);
    const unsigned icon = flags & 0xF0;
    if (icon == MB_ICONSTOP || icon == MB_ICONEXCLAMATION)
        ++m_errors;
    const unsigned buttons = flags & 0x0F;
    const bool question =
        buttons == MB_YESNO || buttons == MB_YESNOCANCEL || buttons == MB_OKCANCEL;
    if (!m_muted && !(question && m_answerChosen)) {
        std::string line = text;
        while (!line.empty() && line.back() == '\n')
            line.pop_back();
        m_err << "tresorix-cli: " << line << '\n';
    }
    switch (buttons) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return m_questionAnswer;
    case MB_OKCANCEL:
        return m_questionAnswer == IDYES ? IDOK : IDCANCEL;
    default:
        return IDOK;
    }
}

bool CCliMessageSink::HasShown(const std::string& text) const {
    std::lock_guard lock(m_mutex);
    return std::find(m_texts.begin(), m_texts.end(), text) != m_texts.end();
}
