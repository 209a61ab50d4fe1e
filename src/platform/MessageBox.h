#pragma once

#include <string>
#include <vector>

// Style flags and answers keep their Win32 values, since callers pass the numbers they were
// designed with (16 for the stop icon, and so on).
enum : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
};

enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Where the core's message boxes go: a real dialog in the program, a recorder in tests,
// standard error in the command-line tool.
class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    // Shows text under caption with the given style; returns the button pressed.
    virtual int Show(const std::string& text, const std::string& caption, unsigned flags) = 0;
};

// The sink every message box of the process goes to; never null (stderr by default).
IMessageSink& MessageSink();
// Installs a sink (not owned); null restores the default. Returns the previous one.
IMessageSink* SetMessageSink(IMessageSink* sink);

// The application's caption, string 57344.
std::string AppCaption();

// A box of caller-chosen style with the application's caption (or the given one).
int KivMessageBox(const std::string& text, unsigned flags = MB_OK, const std::string& caption = {});
// Question box (Yes/No, question icon) with a string-table text and %1/%2 filled in.
int TxQuestionBox(unsigned stringId, const std::string& arg1 = {}, const std::string& arg2 = {});
// Information box (OK, information icon) with a string-table text and %1/%2 filled in.
int TxInfoBox(unsigned stringId, const std::string& arg1 = {}, const std::string& arg2 = {});

// Writes each message to standard error and answers with the style's default button.
class CStderrMessageSink : public IMessageSink {
public:
    int Show(const std::string& text, const std::string& caption, unsigned flags) override;
};

// Records every message and answers from a script (then with a default); for tests.
class CRecordingMessageSink : public IMessageSink {
public:
    struct MESSAGE {
        std::string text;
        std::string caption;
        unsigned flags;
    };

    int Show(const std::string& text, const std::string& caption, unsigned flags) override;

    // Queues the answers of the next boxes, in order.
    void Script(std::vector<int> answers) {
        m_answers.insert(m_answers.end(), answers.begin(), answers.end());
    }
    void SetDefaultAnswer(int answer) { m_default = answer; }
    const std::vector<MESSAGE>& Messages() const { return m_messages; }
    void Clear() { m_messages.clear(); }

private:
    std::vector<MESSAGE> m_messages;
    std::vector<int> m_answers;
    int m_default = IDOK;
};

// Installs a recording sink for the lifetime of the object (tests).
class CScopedMessageRecorder : public CRecordingMessageSink {
public:
    CScopedMessageRecorder() : m_previous(SetMessageSink(this)) {}
    ~CScopedMessageRecorder() override { SetMessageSink(m_previous); }
    CScopedMessageRecorder(const CScopedMessageRecorder&) = delete;
    CScopedMessageRecorder& operator=(const CScopedMessageRecorder&) = delete;

private:
    IMessageSink* m_previous;
};
