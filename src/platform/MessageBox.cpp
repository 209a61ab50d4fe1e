#include "platform/MessageBox.h"

#include "platform/StringTable.h"

#include <atomic>
#include <cstdio>

namespace {

CStderrMessageSink g_stderrSink;
std::atomic<IMessageSink*> g_sink{nullptr};

int DefaultAnswer(unsigned flags) {
    switch (flags & 0x0F) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    default:
        return IDOK;
    }
}

} // namespace

IMessageSink& MessageSink() {
    IMessageSink* sink = g_sink.load();
    return sink ? *sink : g_stderrSink;
}

IMessageSink* SetMessageSink(IMessageSink* sink) {
    return g_sink.exchange(sink);
}

std::string AppCaption() {
    return LoadString(57344);
}

int KivMessageBox(const std::string& text, unsigned flags, const std::string& caption) {
    return MessageSink().Show(text, caption.empty() ? AppCaption() : caption, flags);
}

int TxQuestionBox(unsigned stringId, const std::string& arg1, const std::string& arg2) {
    return KivMessageBox(FormatString(LoadString(stringId), arg1, arg2),
                         MB_YESNO | MB_ICONQUESTION);
}

int TxInfoBox(unsigned stringId, const std::string& arg1, const std::string& arg2) {
    return KivMessageBox(FormatString(LoadString(stringId), arg1, arg2),
                         MB_OK | MB_ICONINFORMATION);
}

int CStderrMessageSink::Show(const std::string& text, const std::string& caption, unsigned flags) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return DefaultAnswer(flags);
}

int CRecordingMessageSink::Show(const std::string& text, const std::string& caption,
                                unsigned flags) {
    m_messages.push_back({text, caption, flags});
    if (m_answers.empty())
        return m_default;
    int answer = m_answers.front();
    m_answers.erase(m_answers.begin());
    return answer;
}
