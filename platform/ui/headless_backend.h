#pragma once

// A display without a screen: every window is a Cairo image surface with a
// position, size, show state and place in the z-order. Tests drive it by
// injecting events and read back what a window shows.

#include "platform/ui/display_backend.h"

#include <string>
#include <vector>

namespace DuiLib {

class HeadlessWindow;
class HeadlessTrayIcon;

class HeadlessBackend : public IDisplayBackend {
public:
    HeadlessBackend();
    ~HeadlessBackend() override;

    std::unique_ptr<IBackendWindow> CreateWindow(const BackendWindowParams& params, IBackendWindowSink* sink) override;
    std::unique_ptr<IBackendTrayIcon> CreateTrayIcon(IBackendWindowSink* sink) override;
    int GetEventFd() const override { return -1; }
    void ProcessEvents() override {}
    BackendRect GetScreenRect() const override { return screen_; }
    BackendRect GetWorkArea() const override { return screen_; }
    int GetDpi() const override { return dpi_; }
    void GetCursorPos(int& x, int& y) const override {
        x = cursorX_;
        y = cursorY_;
    }
    void SetClipboardText(const std::wstring& text) override { clipboard_ = text; }
    std::wstring GetClipboardText() override { return clipboard_; }

    // Test controls.
    void SetScreen(int width, int height, int dpi);
    // A display change as a real display reports it: the new screen and DPI,
    // then DisplayChanged to every window.
    void ChangeDisplay(int width, int height, int dpi, int bitsPerPixel = 32);
    // Windows from the bottom of the z-order to the top.
    std::vector<HeadlessWindow*> Windows() const { return windows_; }
    HeadlessWindow* TopVisibleWindow() const;
    HeadlessTrayIcon* TrayIcon() const { return trays_.empty() ? nullptr : trays_.back(); }

    // Sends an event to a window as the display would (a disabled window
    // drops input). Mouse events also move the cursor position.
    void Inject(HeadlessWindow* window, const BackendEvent& event);
    // Convenience: a left click (down and up) at client coordinates.
    void Click(HeadlessWindow* window, int x, int y, uint32_t modifiers = 0);

    // Internal: windows and tray icons register themselves.
    void Raise(HeadlessWindow* window);
    void Forget(HeadlessWindow* window);
    // The window that holds the activation, or nullptr.
    HeadlessWindow* ActiveWindow() const;
    // The program activating `target` while its own open popup holds the
    // activation: the popup keeps it, and `target` gets it once the popup
    // hides or goes.
    void DeferActivation(HeadlessWindow* target, HeadlessWindow* popup) {
        deferredTarget_ = target;
        deferredFor_ = popup;
    }
    void PopupGone(HeadlessWindow* popup);
    void ForgetTray(HeadlessTrayIcon* tray);
    void SetCursorPos(int x, int y) {
        cursorX_ = x;
        cursorY_ = y;
    }

private:
    std::vector<HeadlessWindow*> windows_;
    std::vector<HeadlessTrayIcon*> trays_;
    BackendRect screen_{0, 0, 1920, 1080};
    int dpi_ = 96;
    int cursorX_ = 0, cursorY_ = 0;
    std::wstring clipboard_;
    HeadlessWindow* deferredTarget_ = nullptr;
    HeadlessWindow* deferredFor_ = nullptr;
};

class HeadlessWindow : public IBackendWindow {
public:
    HeadlessWindow(HeadlessBackend* backend, const BackendWindowParams& params, IBackendWindowSink* sink);
    ~HeadlessWindow() override;

    void Show(BackendShowCommand command) override;
    BackendShowState GetShowState() const override { return state_; }
    void SetRect(const BackendRect& rect) override;
    BackendRect GetRect() const override { return rect_; }
    void SetTitle(const std::wstring& title) override { title_ = title; }
    void SetOwner(IBackendWindow* owner) override { owner_ = owner; }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    void SetTopMost(bool topMost) override { topMost_ = topMost; }
    void Activate() override;
    void Present(cairo_surface_t* picture, const BackendRect& dirty) override;
    void SetCursor(BackendCursor cursor) override {
        cursor_ = cursor;
        cursorImage_ = {};
    }
    void SetCursorImage(const BackendCursorImage& image) override { cursorImage_ = image; }
    void SetCapture(bool capture) override { capture_ = capture; }
    void BeginMove() override { ++moveRequests_; }
    // The drag is applied here: pointer moves injected while it lasts resize
    // the window, the left button's release ends it (neither reaches the sink).
    void BeginResize(BackendResizeEdge edge) override;
    void SetIcon(cairo_surface_t* icon) override { hasIcon_ = icon != nullptr; }
    void SetRoundCorner(int cx, int cy) override {
        roundX_ = cx;
        roundY_ = cy;
    }
    void SetSizeLimits(BackendSize minimum, BackendSize maximum) override;

    // Reading back.
    const std::wstring& Title() const { return title_; }
    bool IsVisible() const { return state_ != BackendShowState::Hidden; }
    bool IsEnabled() const { return enabled_; }
    bool IsTopMost() const { return topMost_; }
    bool HasCapture() const { return capture_; }
    bool HasIcon() const { return hasIcon_; }
    bool IsPopup() const { return popup_; }
    bool IsActive() const { return active_; }
    int MoveRequests() const { return moveRequests_; }
    int ResizeRequests() const { return resizeRequests_; }
    bool IsResizing() const { return resizing_; }
    BackendResizeEdge ResizeEdge() const { return resizeEdge_; }
    BackendSize MinSize() const { return minSize_; }
    BackendSize MaxSize() const { return maxSize_; }
    BackendCursor Cursor() const { return cursor_; }
    // The picture cursor shown (width 0 while a standard cursor is shown).
    const BackendCursorImage& CursorImage() const { return cursorImage_; }
    IBackendWindow* Owner() const { return owner_; }
    IBackendWindowSink* Sink() const { return sink_; }
    // Internal: the backend feeds the resize drag (screen coordinates).
    void ResizeMotion(int screenX, int screenY);
    void EndResize() { resizing_ = false; }
    // The last presented picture (null before the first present).
    cairo_surface_t* Picture() const { return picture_; }
    // ARGB of one pixel of the picture; 0 outside it.
    uint32_t PixelAt(int x, int y) const;
    bool WritePng(const std::string& path) const;

private:
    void SetState(BackendShowState state);
    // Whether `window` owns this one, directly or through its owners.
    bool IsOwnedBy(const IBackendWindow* window) const;

    HeadlessBackend* backend_;
    IBackendWindowSink* sink_;
    BackendRect rect_;
    BackendRect restoreRect_;
    std::wstring title_;
    IBackendWindow* owner_;
    bool popup_;
    bool topMost_;
    bool enabled_ = true;
    bool capture_ = false;
    bool active_ = false;
    bool hasIcon_ = false;
    int moveRequests_ = 0;
    int resizeRequests_ = 0;
    bool resizing_ = false;
    BackendResizeEdge resizeEdge_ = BackendResizeEdge::BottomRight;
    BackendRect resizeStart_;
    int resizeFromX_ = 0, resizeFromY_ = 0;
    int roundX_ = 0, roundY_ = 0;
    BackendSize minSize_, maxSize_;
    BackendCursor cursor_ = BackendCursor::Arrow;
    BackendCursorImage cursorImage_;
    BackendShowState state_ = BackendShowState::Hidden;
    cairo_surface_t* picture_ = nullptr;
};

class HeadlessTrayIcon : public IBackendTrayIcon {
public:
    HeadlessTrayIcon(HeadlessBackend* backend, IBackendWindowSink* sink) : backend_(backend), sink_(sink) {}
    ~HeadlessTrayIcon() override { backend_->ForgetTray(this); }
    void SetIcon(cairo_surface_t* icon) override { hasIcon_ = icon != nullptr; }
    void SetTooltip(const std::wstring& text) override { tooltip_ = text; }
    void SetVisible(bool visible) override { visible_ = visible; }
    bool IsShown() const override { return visible_; }

    const std::wstring& Tooltip() const { return tooltip_; }
    bool HasIcon() const { return hasIcon_; }
    // A pointer event on the icon (screen coordinates).
    void Inject(const BackendEvent& event) {
        if (visible_ && sink_) sink_->OnBackendEvent(event);
    }

private:
    HeadlessBackend* backend_;
    IBackendWindowSink* sink_;
    std::wstring tooltip_;
    bool visible_ = false;
    bool hasIcon_ = false;
};

}  // namespace DuiLib
