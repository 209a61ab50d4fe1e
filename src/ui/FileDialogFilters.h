#pragma once

#include <QStringList>

#include <string>

// File dialog filters from a "label|patterns|label|patterns||" list. Each keeps its label as
// the text shown; the patterns (";"-separated) become the ones matched, "*.*" meaning any
// file as it does on Windows. The label alone is not enough: its parenthesised part may list
// fewer patterns, or separate them with commas.
QStringList FileDialogFilters(const QString& list);
QStringList FileDialogFilters(const std::string& list);
