#pragma once

#include "platform/MessageBox.h"

#include <mutex>
#include <ostream>
#include <string>
#include <vector>

// Where the core's message boxes go while a command runs: each is written to the error
// stream and kept, so the command can tell what went wrong (a refused login, a failed
// write). Questions get the answer the command chose beforehand; without a choice they are
// answered No, so nothing is done that the command line did not ask for. The search reports
// from its worker thread, so every member is guarded.
class CCliMessageSink : public IMessageSink {
public:
    explicit CCliMessageSink(std::ostream& err);
    ~CCliMessageSink() override;
    CCliMessageSink(const CCliMessageSink&) = delete;
    CCliMessageSink& operator=(const CCliMessageSink&) = delete;

    int Show(const std::string& text, const std::string& caption, unsigned flags) override;

    // Questions answered by the command's own choice are kept but not written.
    void SetQuestionAnswer(int answer) {
        std::lock_guard lock(m_mutex);
        m_questionAnswer = answer;
        m_answerChosen = true;
    }
    // While muted, messages are kept but not written (for checks that report on their own).
    void SetMuted(bool muted) {
        std::lock_guard lock(m_mutex);
        m_muted = muted;
    }

    // Messages with the stop or the exclamation icon shown so far.
    int GetErrorCount() const {
        std::lock_guard lock(m_mutex);
        return m_errors;
    }
    bool HasShown(const std::string& text) const;

private:
    mutable std::mutex m_mutex;
    std::ostream& m_err;
    IMessageSink* m_previous;
    std::vector<std::string> m_texts;
    int m_questionAnswer = IDNO;
    int m_errors = 0;
    bool m_muted = false;
    bool m_answerChosen = false;
};
