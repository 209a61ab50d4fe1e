#pragma once

#include <exception>
#include <string>

// The one failure type of the database layer: the engine's result code (or 0/1 for the
// layer's own failures) and the text to show.
class CSQLiteException : public std::exception {
public:
    CSQLiteException(int code, std::string text) : m_code(code), m_text(std::move(text)) {}

    int GetCode() const { return m_code; }
    const std::string& GetText() const { return m_text; }
    const char* what() const noexcept override { return m_text.c_str(); }

    // Shows the text in a message box with the given style (callers pass 16, the stop icon);
    // returns the button pressed.
    int ReportError(unsigned flags) const;

private:
    int m_code;
    std::string m_text;
};
