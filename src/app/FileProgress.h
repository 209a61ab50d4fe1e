#pragma once

#include "model/FileParts.h"

#include <cstdint>

class QWidget;

// Attachments bigger than this show a progress window while they are stored or saved.
inline constexpr std::uint64_t kFileProgressThreshold = 4u * 1024 * 1024;

// A progress report for one attachment transfer: the window (with Cancel, since a stopped
// store rolls back and a stopped save removes its unfinished file) opens at the first report
// whose total is over kFileProgressThreshold, and closes when the last copy of the report
// goes. Off the user-interface thread it reports nothing.
PROGRESS_CALLBACK MakeFileProgress(CFileParts::TRANSFER transfer, QWidget* parent);

// The source for CFileParts::SetProgressSource: transfers that bring no report of their own
// (opening an attachment, uploading a changed copy) get one over the active window.
CFileParts::PROGRESS_SOURCE FileProgressSource();
