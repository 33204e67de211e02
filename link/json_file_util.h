#pragma once

#include <string>

#include <json/json.h>

#include "platform/ui/dui_string.h"

// Reading and writing the JSON settings files. The class holds no state: the
// profile documents, device pages, main window and dialogs each keep one as a
// member, and any instance behaves like any other (the methods are static, so
// they can be called through an instance or through the class).
//
// Paths are program paths (CDuiString, '\' or '/' as separators).
class CJsonFileUtil {
public:
    // A new time-stamp id of the current local time, e.g.
    // "2023_07_04_09_05_03_007"; never the same as an id issued before in this
    // process (see NextTimeId).
    static std::string MakeTimeId();

    // The file's bytes up to its first zero byte; the empty string when the file
    // cannot be opened or read in full.
    static std::string ReadFileText(const DuiLib::CDuiString& path);

    // The file's root value (any type), with its comments; the null value when
    // the file is missing, unreadable, empty or does not parse. A UTF-8 byte
    // order mark at the start is skipped. Never throws.
    static Json::Value LoadJson(const DuiLib::CDuiString& path);

    // Writes value in the styled form (one member per line, indented, comments
    // kept), followed by one more line end; line ends are CR LF. The content
    // goes to a temporary file in the same folder, is flushed and then renamed
    // over the target, so the target holds either the old or the new document,
    // never a part of one. What is at the path and cannot be read as JSON
    // (empty, garbage, too deep, a link to a file of another kind) is set
    // aside as "<name>.bad" first (win::PrepareDocumentSave); a link to a
    // JSON document is followed. Returns true when the target now holds the new
    // document; false (and the target unchanged) when the folder is missing,
    // the target is not writable, or writing fails.
    static bool SaveJson(const DuiLib::CDuiString& path, const Json::Value& value);

    // The file name without folder and extension: the text after the last '\'
    // or '/' and before the last '.' of that name.
    static DuiLib::CDuiString GetFileTitle(const DuiLib::CDuiString& path);
};
