#pragma once

#include <QStringList>

#include <string>

class CTxDoc;
class QWidget;

// The open-file dialog "Select file for adding": starts in Files_LastSelectedFolderAddFile
// (the home folder when that is no folder here) with the filter Files_LastSelectedFilterAddFile
// (numbered from 1, 0 meaning the first, as the Windows dialog counts) and stores both back
// when a file was chosen. The chosen path, empty when cancelled.
std::string ChooseFileToAdd(QWidget* parent);

// The add-file command for folder: checks the opened copies, asks for a file and runs the
// file record dialog on a new record in folder. The new record's identifier, 0 when none was
// added.
int RunAddFile(CTxDoc& doc, int folder, QWidget* parent);

// The file record dialog on record id (what opening a file record does).
void RunFileRecordDialog(CTxDoc& doc, int id, QWidget* parent);
