// The keyboard's screen frames on disk: "ScreenFrame.json" in the device's
// data folder and one bitmap per frame in its folder "ScreenFamres".

#include <algorithm>
#include <filesystem>
#include <system_error>

#include <json/json.h>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/screen_bitmap_file.h"
#include "keyboard/screen_media_library.h"
#include "keyboard/screen_picture_cells.h"
#include "link/json_file_util.h"
#include "link/json_read.h"
#include "link/profile_file.h"
#include "link/text_encoding.h"
#include "platform/files/folders.h"
#include "platform/ui/controls.h"
#include "shell/controls/process_state.h"

using namespace DuiLib;

namespace {

constexpr const wchar_t* kDocumentName = L"ScreenFrame.json";
constexpr const wchar_t* kBitmapFolder = L"ScreenFamres";
constexpr const wchar_t* kDefaultBitmap = L"midefault.bmp";
constexpr DWORD kWhite = 0xFFFFFF;
constexpr DWORD kBlack = 0x000000;

// The bitmap's name relative to the data folder.
CDuiString RelativeBitmapPath(int index) {
    CDuiString path;
    path.Format(L"%s\\%d.bmp", kBitmapFolder, index);
    return path;
}

Json::Value ColorValue(const ScreenColor& color) {
    Json::Value value(Json::objectValue);
    value["Red"] = color.red;
    value["Green"] = color.green;
    value["Blue"] = color.blue;
    return value;
}

DWORD ColorOf(const Json::Value& entry, const char* key) {
    const Json::Value& color = JsonMember(entry, key);
    return (DWORD(JsonInt(color, "Red") & 0xFF) << 16) | (DWORD(JsonInt(color, "Green") & 0xFF) << 8) |
           DWORD(JsonInt(color, "Blue") & 0xFF);
}

// The entry of one frame, without its cells.
Json::Value FrameEntry(const ScreenColor& pen, const ScreenColor& background, int index) {
    Json::Value entry(Json::objectValue);
    entry["PenColor"] = ColorValue(pen);
    entry["BkGroundColor"] = ColorValue(background);
    entry["SaveFameDir"] = WideToUtf8(RelativeBitmapPath(index));
    return entry;
}

// A frame document: an object whose "Frame", when there, is a list (an entry
// of another kind reads as a blank frame).
bool UsableFrameDocument(const Json::Value& root) {
    if (!root.isObject()) return false;
    const Json::Value& frames = root["Frame"];
    return frames.isNull() || frames.isArray();
}

// The user's document to change and save; one that cannot be used is set
// aside first and an empty document takes its place.
Json::Value FrameDocument(const CDuiString& path) {
    Json::Value document = LoadScreenFrameDocument(path);
    if (!document.isObject()) document = Json::Value(Json::objectValue);
    if (!document["Frame"].isArray()) document["Frame"] = Json::Value(Json::arrayValue);
    return document;
}

void CopyFileOver(const CDuiString& from, const CDuiString& to) {
    std::error_code error;
    std::filesystem::copy_file(win::ToFsPath(from.str()), win::ToFsPath(to.str()),
                               std::filesystem::copy_options::overwrite_existing, error);
}

}  // namespace

Json::Value LoadScreenFrameDocument(const CDuiString& path) {
    return LoadDocumentOrSetAside(path, &UsableFrameDocument);
}

bool ClearScreenFrameDocument(const CDuiString& path) {
    Json::Value document = FrameDocument(path);
    document["Frame"] = Json::Value(Json::arrayValue);
    return CJsonFileUtil::SaveJson(path, document);
}

CDuiString CCorvaneKeyboardDevice::ScreenFrameDocumentPath() const { return GetUserDataFolder() + kDocumentName; }

CDuiString CCorvaneKeyboardDevice::FrameBitmapPath(int index) const {
    return GetUserDataFolder() + RelativeBitmapPath(index);
}

bool CCorvaneKeyboardDevice::FillFrameFromPicture(CScreenViewControlUI& frame, const CDuiString& path,
                                                  const Json::Value& entry) {
    ScreenMedia* media = screen_media::Get();
    if (!media) return false;
    // A frame's bitmap is written in the screen's own orientation: turning it
    // again for a rotated screen would scramble the frame at every load. Only
    // a picture that is not yet of the screen's size is turned.
    const ScreenPicture fitted =
        media->ReadPicture(WideToNarrow(path.GetData(), 0), frame.GetColumns(), frame.GetRows(),
                           m_rotate != 0 ? ScreenMedia::Turn::UnlessScreenSized : ScreenMedia::Turn::None);
    if (fitted.Empty()) return true;  // a blank frame with a white pen
    CopyPictureToCells(fitted, frame.Cells());
    frame.RebuildBitmap();
    frame.SetPenColor(ColorOf(entry, "PenColor"));
    frame.SetBackgroundColor(ColorOf(entry, "BkGroundColor"));
    return true;
}

int CCorvaneKeyboardDevice::LoadFrames() {
    CContainerUI* strip = GetFrameStrip();
    if (!strip) return 0;
    strip->RemoveAll();
    InitScreenControls();

    const CDuiString documentPath = ScreenFrameDocumentPath();
    Json::Value document = LoadScreenFrameDocument(documentPath);
    if (!document.isObject()) {
        document = CJsonFileUtil::LoadJson(GetDefaultDataFolder() + kDocumentName);
        if (document.isObject()) CJsonFileUtil::SaveJson(documentPath, document);
        win::CreateDirectoryW((GetUserDataFolder() + kBitmapFolder).GetData());
        const int defaults = static_cast<int>(JsonMember(document, "Frame").size());
        for (int i = 0; i < defaults; ++i) CopyFileOver(GetDefaultDataFolder() + kDefaultBitmap, FrameBitmapPath(i));
    }

    const Json::Value& entries = JsonMember(document, "Frame");
    const int count = std::min(entries.isArray() ? static_cast<int>(entries.size()) : 0, kDefaultMaxFrames);
    m_frameCount = 0;
    bool mediaMissing = false;
    for (int j = 0; j < count; ++j) {
        CScreenViewControlUI* frame = AppendFrame(j, kWhite, kBlack);
        if (!frame) break;
        ++m_frameCount;
        const Json::Value& entry = JsonElement(entries, j);
        const std::string relative = JsonString(entry, "SaveFameDir");
        if (relative.empty()) continue;
        mediaMissing |= !FillFrameFromPicture(
            *frame, GetUserDataFolder() + CDuiString(Utf8ToWideString(relative.c_str()).c_str()), entry);
    }
    if (m_frameCount == 0) {
        AppendFrame(0, kWhite, kBlack);
        m_frameCount = 1;
    }
    SetFrameCountLabel(m_frameCount);
    m_currentFrame = 0;
    return mediaMissing ? kScreenMediaMissing : 0;
}

int CCorvaneKeyboardDevice::SaveFrame() {
    CScreenViewControlUI* frame = GetFrame(m_currentFrame);
    if (!frame) return 0;
    win::CreateDirectoryW((GetUserDataFolder() + kBitmapFolder).GetData());
    const CDuiString documentPath = ScreenFrameDocumentPath();
    Json::Value document = FrameDocument(documentPath);
    Json::Value& entries = document["Frame"];
    // A frame past the saved ones is appended, so that no entry stays null.
    const int n = std::min(m_currentFrame, static_cast<int>(entries.size()));

    ScreenCanvas* canvas = m_screenEditor ? &m_screenEditor->Canvas() : nullptr;
    Json::Value entry = canvas ? FrameEntry(canvas->pen, canvas->background, n)
                               : FrameEntry(frame->GetPenColor(), frame->GetBackgroundColor(), n);
    frame->RebuildBitmap();
    if (const ScreenBitmap* bitmap = frame->GetBitmap()) WriteBitmapFile(*bitmap, FrameBitmapPath(n));

    Json::Value pixels(Json::arrayValue);
    const int columns = ScreenColumns();
    const int rows = ScreenRows();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const ScreenCell& cell = canvas ? canvas->Cell(c, r) : frame->Cell(c, r);
            Json::Value pixel(Json::objectValue);
            pixel["Red"] = cell.red;
            pixel["Green"] = cell.green;
            pixel["Blue"] = cell.blue;
            pixel["Flag"] = cell.flag;
            pixels.append(std::move(pixel));
        }
    }
    entry["Pixel"] = std::move(pixels);
    // The saved state becomes the start of the undo history.
    const int position = ScreenUndoPosition.load();
    if (canvas && !canvas->history.empty() && position >= 0 && position < static_cast<int>(canvas->history.size()))
        canvas->history[1].cells = canvas->history[size_t(position)].cells;
    ScreenUndoPosition = 0;

    if (n < static_cast<int>(entries.size()))
        entries[n] = std::move(entry);
    else
        entries.append(std::move(entry));
    const bool written = CJsonFileUtil::SaveJson(documentPath, document);
    StoreFrameInterval();
    return written ? 1 : 0;
}

int CCorvaneKeyboardDevice::SaveAllFrames() {
    // Refused before anything is written.
    if (m_frameCount > m_maxFrames) return 0;
    CContainerUI* strip = GetFrameStrip();
    if (!strip) return 0;
    win::CreateDirectoryW((GetUserDataFolder() + kBitmapFolder).GetData());
    const CDuiString documentPath = ScreenFrameDocumentPath();
    Json::Value document = FrameDocument(documentPath);
    const Json::Value old = document["Frame"];
    // Exactly one entry per frame: entries of deleted frames do not come back.
    Json::Value entries(Json::arrayValue);
    for (int i = 0; i < m_frameCount; ++i) {
        CScreenViewControlUI* frame = GetFrame(i);
        if (!frame) {
            entries.append(JsonElement(old, i));
            continue;
        }
        frame->RebuildBitmap();
        if (const ScreenBitmap* bitmap = frame->GetBitmap()) WriteBitmapFile(*bitmap, FrameBitmapPath(i));
        entries.append(FrameEntry(frame->GetPenColor(), frame->GetBackgroundColor(), i));
    }
    document["Frame"] = std::move(entries);
    const bool written = CJsonFileUtil::SaveJson(documentPath, document);
    StoreFrameInterval();
    ScreenUndoPosition = 0;
    return written ? 1 : 0;
}
