#pragma once

#include <QString>

#include <string>

// Stored texts are bytes: valid UTF-8 from this program, Windows-1252 from files made on
// Windows. Windows show them as QString and store what the user types as UTF-8.
QString FromBytes(const std::string& bytes);
std::string ToBytes(const QString& text);
