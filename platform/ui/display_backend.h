#pragma once

// The seam between the UI model (windows, paint manager, message loop) and a
// display. A backend owns top-level windows on some display, shows the
// pictures the paint manager draws and turns the display's input into
// BackendEvents for the window they belong to. Two backends exist: the
// headless one in this folder (image surfaces, events injected by tests) and
// the X11 one in platform/ui/x11/.
//
// Threading: every call is made on the UI thread, and a backend delivers
// events only from inside ProcessEvents() (or synchronously from a window
// call such as Show or SetRect), also on the UI thread.

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace DuiLib {

struct BackendRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// A window size; 0 in a dimension means "no limit" where it is a limit.
struct BackendSize {
    int width = 0, height = 0;
};

// `rect` with its size brought within the limits, keeping its top-left
// corner. A maximum below the minimum gives way to the minimum.
inline BackendRect ClampToSizeLimits(BackendRect rect, BackendSize minimum, BackendSize maximum) {
    int w = rect.Width(), h = rect.Height();
    if (maximum.width > 0 && w > maximum.width) w = maximum.width;
    if (maximum.height > 0 && h > maximum.height) h = maximum.height;
    if (minimum.width > 0 && w < minimum.width) w = minimum.width;
    if (minimum.height > 0 && h < minimum.height) h = minimum.height;
    rect.right = rect.left + w;
    rect.bottom = rect.top + h;
    return rect;
}

// The edge or corner of a window that a resize drag moves.
enum class BackendResizeEdge { Left, Top, Right, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };

// `start` resized by a pointer that moved (dx, dy) since the drag began on
// `edge`: the dragged sides follow the pointer, the opposite ones stay, and
// the size stays within the limits (at least one pixel).
inline BackendRect ResizeByEdge(BackendRect start, BackendResizeEdge edge, int dx, int dy, BackendSize minimum,
                                BackendSize maximum) {
    using E = BackendResizeEdge;
    const bool left = edge == E::Left || edge == E::TopLeft || edge == E::BottomLeft;
    const bool right = edge == E::Right || edge == E::TopRight || edge == E::BottomRight;
    const bool top = edge == E::Top || edge == E::TopLeft || edge == E::TopRight;
    const bool bottom = edge == E::Bottom || edge == E::BottomLeft || edge == E::BottomRight;
    auto limit = [](int size, int lo, int hi) {
        if (hi > 0 && size > hi) size = hi;
        if (lo > 0 && size < lo) size = lo;
        return size < 1 ? 1 : size;
    };
    int w = start.Width() + (left ? -dx : right ? dx : 0);
    int h = start.Height() + (top ? -dy : bottom ? dy : 0);
    w = limit(w, minimum.width, maximum.width);
    h = limit(h, minimum.height, maximum.height);
    BackendRect r = start;
    if (left)
        r.left = r.right - w;
    else
        r.right = r.left + w;
    if (top)
        r.top = r.bottom - h;
    else
        r.bottom = r.top + h;
    return r;
}

// Cursors by their standard names.
enum class BackendCursor {
    Arrow,
    Hand,
    IBeam,
    Wait,
    AppStarting,
    Cross,
    SizeWE,
    SizeNS,
    SizeNWSE,
    SizeNESW,
    SizeAll,
    No,
    Help,
    UpArrow,
    Size,
    Icon
};

// A cursor drawn from a picture: premultiplied ARGB32 pixels, rows top
// first, and the hot spot (the pixel that points) inside the picture.
struct BackendCursorImage {
    int width = 0, height = 0;
    int hotX = 0, hotY = 0;
    std::vector<uint32_t> pixels;
};

// Modifier and button state carried by input events.
enum BackendModifier : uint32_t {
    kBackendShift = 1u << 0,
    kBackendControl = 1u << 1,
    kBackendAlt = 1u << 2,
    kBackendLeftButton = 1u << 3,
    kBackendRightButton = 1u << 4,
    kBackendMiddleButton = 1u << 5,
};

enum class BackendButton { None, Left, Right, Middle };

enum class BackendShowCommand { Hide, Show, ShowNoActivate, Minimize, Maximize, Restore };
enum class BackendShowState { Hidden, Normal, Minimized, Maximized };

enum class BackendEventType {
    MouseMove,       // x, y: client coordinates; modifiers
    MouseLeave,      // the pointer left the window
    ButtonDown,      // x, y, button, modifiers; the UI layer makes double clicks from the times
    ButtonUp,        // x, y, button, modifiers
    Wheel,           // x, y (client), wheelDelta: +120 per notch away from the user
    KeyDown,         // virtualKey (Windows virtual-key code), scanCode, modifiers, repeat
    KeyUp,           // virtualKey, scanCode, modifiers
    Char,            // character (one Unicode code point produced by the keyboard or input method)
    Expose,          // rect (client coordinates) must be presented again
    Moved,           // x, y: new top-left of the window on the screen
    Resized,         // width, height: new size of the window
    StateChanged,    // state: minimised, maximised, restored (Normal) or hidden
    CloseRequest,    // the user or the window manager asked to close the window
    Activated,       // the window became the active (focused) top-level window
    Deactivated,     // it stopped being the active window
    DisplayChanged,  // width, height: new screen size; bitsPerPixel (0 = unknown); the DPI is the backend's GetDpi()
};

struct BackendEvent {
    BackendEventType type = BackendEventType::MouseMove;
    uint32_t time = 0;  // milliseconds, same clock as the OS layer's tick count
    int x = 0, y = 0;
    int width = 0, height = 0;
    BackendButton button = BackendButton::None;
    int wheelDelta = 0;
    uint32_t virtualKey = 0;
    uint32_t scanCode = 0;
    char32_t character = 0;
    uint32_t modifiers = 0;
    bool repeat = false;
    BackendRect rect;
    BackendShowState state = BackendShowState::Normal;
    int bitsPerPixel = 0;
};

// Receives the events of one window (implemented by CWindowWnd).
class IBackendWindowSink {
public:
    virtual void OnBackendEvent(const BackendEvent& event) = 0;

protected:
    ~IBackendWindowSink() = default;
};

class IBackendWindow;

// One visible named control of a window, as the UI probe publishes it
// (client coordinates; the backend places them on the screen).
struct BackendProbeEntry {
    std::wstring name;
    BackendRect rect;
    std::wstring text;
};

struct BackendWindowParams {
    std::wstring title;
    BackendRect rect;                 // screen coordinates of the whole window
    IBackendWindow* owner = nullptr;  // dialogs and menus: transient for this window
    bool popup = false;               // menus and drop lists: no frame, no taskbar entry, not managed
    bool toolWindow = false;          // no taskbar entry
    bool topMost = false;
    // Never takes the keyboard focus (a popup that must not take it from its
    // owner). It hears a Deactivated event instead when the focus moves to
    // another window or a button is pressed in another of the program's
    // windows while it is shown.
    bool noActivate = false;
};

// One top-level window. Destroying the object destroys the window; no event
// is delivered for it afterwards.
class IBackendWindow {
public:
    virtual ~IBackendWindow() = default;

    virtual void Show(BackendShowCommand command) = 0;
    virtual BackendShowState GetShowState() const = 0;
    virtual void SetRect(const BackendRect& rect) = 0;  // screen coordinates
    virtual BackendRect GetRect() const = 0;
    virtual void SetTitle(const std::wstring& title) = 0;
    virtual void SetOwner(IBackendWindow* owner) = 0;
    // A disabled window takes no input (modal loops disable the owner).
    virtual void SetEnabled(bool enabled) = 0;
    virtual void SetTopMost(bool topMost) = 0;
    // Raise above its siblings and take the keyboard focus.
    virtual void Activate() = 0;
    // Shows `dirty` (client coordinates) of `picture`, an ARGB32 image
    // surface the size of the client area. The backend copies what it needs.
    virtual void Present(cairo_surface_t* picture, const BackendRect& dirty) = 0;
    virtual void SetCursor(BackendCursor cursor) = 0;
    // Shows a picture cursor over the window instead of a standard one.
    virtual void SetCursorImage(const BackendCursorImage& image) = 0;
    // Keep pointer events coming to this window while a button is held.
    virtual void SetCapture(bool capture) = 0;
    // Start a window-manager move with the pointer (caption dragging).
    virtual void BeginMove() = 0;
    // Start a resize of the given edge with the pointer (the skin's size box);
    // it follows the pointer until the left button goes up, within the size
    // limits.
    virtual void BeginResize(BackendResizeEdge edge) = 0;
    virtual void SetIcon(cairo_surface_t* icon) = 0;  // may be null
    // Per-pixel shape: rounded corners of a skin ("roundcorner" of Window); 0 = square.
    virtual void SetRoundCorner(int cx, int cy) = 0;
    // Smallest and largest size the window may take (the skin's "mininfo"
    // and "maxinfo"); told to the window manager and applied to SetRect.
    virtual void SetSizeLimits(BackendSize minimum, BackendSize maximum) = 0;
    // UI probe, a seam for tests that drive the real program: when the
    // backend asks for it, the paint manager hands it the window's visible
    // named controls after every paint. Off unless a backend turns it on.
    virtual bool WantsProbe() const { return false; }
    virtual void SetProbe(std::vector<BackendProbeEntry> /*entries*/) {}
};

// The notification area icon. Pointer events arrive through the sink with
// screen coordinates in x, y.
class IBackendTrayIcon {
public:
    virtual ~IBackendTrayIcon() = default;
    virtual void SetIcon(cairo_surface_t* icon) = 0;
    virtual void SetTooltip(const std::wstring& text) = 0;
    virtual void SetVisible(bool visible) = 0;
    // False when no tray exists on the display.
    virtual bool IsShown() const = 0;
};

class IDisplayBackend {
public:
    virtual ~IDisplayBackend() = default;

    virtual std::unique_ptr<IBackendWindow> CreateWindow(const BackendWindowParams& params,
                                                         IBackendWindowSink* sink) = 0;
    virtual std::unique_ptr<IBackendTrayIcon> CreateTrayIcon(IBackendWindowSink* sink) = 0;

    // A descriptor that becomes readable when events are pending (-1 when the
    // backend has none); the UI thread's message wait watches it and calls
    // ProcessEvents, which delivers what is pending without blocking.
    virtual int GetEventFd() const = 0;
    virtual void ProcessEvents() = 0;
    // Whether events wait that were already read from the descriptor (a
    // library that buffers them reads them along with a reply): the wait
    // serves them without waiting for the descriptor.
    virtual bool HasBufferedEvents() const { return false; }

    virtual BackendRect GetScreenRect() const = 0;        // the primary screen
    virtual BackendRect GetWorkArea() const = 0;          // the primary screen without panels
    virtual int GetDpi() const = 0;                       // 96 = 100 %
    virtual void GetCursorPos(int& x, int& y) const = 0;  // screen coordinates

    virtual void SetClipboardText(const std::wstring& text) = 0;
    virtual std::wstring GetClipboardText() = 0;
};

// The backend the UI uses. Until one is set the headless backend is used.
// Set it before the first window is created (the program sets the X11 one
// at start-up).
IDisplayBackend& GetDisplayBackend();
void SetDisplayBackend(std::unique_ptr<IDisplayBackend> backend);

}  // namespace DuiLib
