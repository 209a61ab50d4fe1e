#pragma once

#include <string>

class CCliContext;

// A secret typed by the user, wiped when it goes.
class CSecretText {
public:
    CSecretText() = default;
    ~CSecretText();
    CSecretText(const CSecretText&) = delete;
    CSecretText& operator=(const CSecretText&) = delete;

    std::string& Get() { return m_text; }
    const std::string& Get() const { return m_text; }

private:
    std::string m_text;
};

// Reads one secret: the next line of the input stream with --password-stdin, else from the
// terminal with echo switched off, after prompt. False (with the reason written) when there
// is no line to read or no terminal.
bool ReadSecret(CCliContext& context, const char* prompt, std::string& secret);

// A new password: one line with --password-stdin; on the terminal typed twice, and refused
// when the two differ. An empty password is refused unless allowEmpty.
bool ReadNewSecret(CCliContext& context, bool allowEmpty, std::string& secret);
