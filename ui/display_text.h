#pragma once

#include <QString>

#include <string>
#include <string_view>

// Names are held as the bytes read from the files. For display only: bytes that form valid UTF-8
// are shown as UTF-8, anything else as Latin-1, so that files from today's editors and old
// Latin-1 files both read correctly.
QString DisplayName(std::string_view bytes);

// The participants' text holds each name followed by CR LF; shown one name a line.
QString DisplayNameLines(const std::string& text);

bool IsValidUtf8(const std::string& bytes);
