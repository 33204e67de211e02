#include "platform/ui/headless_backend.h"

#include <algorithm>

namespace DuiLib {

namespace {

std::unique_ptr<IDisplayBackend>& BackendSlot() {
    static std::unique_ptr<IDisplayBackend> backend;
    return backend;
}

bool IsInput(BackendEventType type) {
    switch (type) {
        case BackendEventType::MouseMove:
        case BackendEventType::ButtonDown:
        case BackendEventType::ButtonUp:
        case BackendEventType::Wheel:
        case BackendEventType::KeyDown:
        case BackendEventType::KeyUp:
        case BackendEventType::Char:
            return true;
        default:
            return false;
    }
}

}  // namespace

IDisplayBackend& GetDisplayBackend() {
    auto& slot = BackendSlot();
    if (!slot) slot = std::make_unique<HeadlessBackend>();
    return *slot;
}

void SetDisplayBackend(std::unique_ptr<IDisplayBackend> backend) { BackendSlot() = std::move(backend); }

HeadlessBackend::HeadlessBackend() = default;
HeadlessBackend::~HeadlessBackend() = default;

std::unique_ptr<IBackendWindow> HeadlessBackend::CreateWindow(const BackendWindowParams& params,
                                                              IBackendWindowSink* sink) {
    auto window = std::make_unique<HeadlessWindow>(this, params, sink);
    windows_.push_back(window.get());
    return window;
}

std::unique_ptr<IBackendTrayIcon> HeadlessBackend::CreateTrayIcon(IBackendWindowSink* sink) {
    auto tray = std::make_unique<HeadlessTrayIcon>(this, sink);
    trays_.push_back(tray.get());
    return tray;
}

void HeadlessBackend::SetScreen(int width, int height, int dpi) {
    screen_ = {0, 0, width, height};
    dpi_ = dpi;
}

void HeadlessBackend::ChangeDisplay(int width, int height, int dpi, int bitsPerPixel) {
    SetScreen(width, height, dpi);
    BackendEvent e;
    e.type = BackendEventType::DisplayChanged;
    e.width = width;
    e.height = height;
    e.bitsPerPixel = bitsPerPixel;
    // A window may close while it handles the change: deliver only to those
    // still here.
    const std::vector<HeadlessWindow*> all = windows_;
    for (HeadlessWindow* w : all)
        if (std::find(windows_.begin(), windows_.end(), w) != windows_.end() && w->Sink()) w->Sink()->OnBackendEvent(e);
}

HeadlessWindow* HeadlessBackend::TopVisibleWindow() const {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
        if ((*it)->IsVisible()) return *it;
    return nullptr;
}

void HeadlessBackend::Inject(HeadlessWindow* window, const BackendEvent& event) {
    if (!window || std::find(windows_.begin(), windows_.end(), window) == windows_.end()) return;
    if (IsInput(event.type) && (!window->IsEnabled() || !window->IsVisible())) return;
    if (window->IsResizing() && (event.type == BackendEventType::MouseMove ||
                                 (event.type == BackendEventType::ButtonUp && event.button == BackendButton::Left))) {
        // A resize drag holds the pointer, as a window manager's does.
        BackendRect r = window->GetRect();
        SetCursorPos(r.left + event.x, r.top + event.y);
        if (event.type == BackendEventType::MouseMove)
            window->ResizeMotion(cursorX_, cursorY_);
        else
            window->EndResize();
        return;
    }
    if (event.type == BackendEventType::MouseMove || event.type == BackendEventType::ButtonDown ||
        event.type == BackendEventType::ButtonUp) {
        BackendRect r = window->GetRect();
        SetCursorPos(r.left + event.x, r.top + event.y);
    }
    if (window->Sink()) window->Sink()->OnBackendEvent(event);
}

void HeadlessBackend::Click(HeadlessWindow* window, int x, int y, uint32_t modifiers) {
    BackendEvent e;
    e.x = x;
    e.y = y;
    e.modifiers = modifiers;
    e.button = BackendButton::Left;
    e.type = BackendEventType::MouseMove;
    Inject(window, e);
    e.type = BackendEventType::ButtonDown;
    Inject(window, e);
    e.type = BackendEventType::ButtonUp;
    Inject(window, e);
}

void HeadlessBackend::Raise(HeadlessWindow* window) {
    auto it = std::find(windows_.begin(), windows_.end(), window);
    if (it == windows_.end()) return;
    windows_.erase(it);
    windows_.push_back(window);
}

void HeadlessBackend::Forget(HeadlessWindow* window) {
    windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
    if (window == deferredTarget_) deferredTarget_ = deferredFor_ = nullptr;
    PopupGone(window);
}

HeadlessWindow* HeadlessBackend::ActiveWindow() const {
    for (HeadlessWindow* w : windows_)
        if (w->IsActive()) return w;
    return nullptr;
}

void HeadlessBackend::PopupGone(HeadlessWindow* popup) {
    if (popup == nullptr || popup != deferredFor_) return;
    HeadlessWindow* target = deferredTarget_;
    deferredTarget_ = deferredFor_ = nullptr;
    if (target && target->IsVisible()) target->Activate();
}

void HeadlessBackend::ForgetTray(HeadlessTrayIcon* tray) {
    trays_.erase(std::remove(trays_.begin(), trays_.end(), tray), trays_.end());
}

HeadlessWindow::HeadlessWindow(HeadlessBackend* backend, const BackendWindowParams& params, IBackendWindowSink* sink)
    : backend_(backend),
      sink_(sink),
      rect_(params.rect),
      restoreRect_(params.rect),
      title_(params.title),
      owner_(params.owner),
      popup_(params.popup),
      topMost_(params.topMost) {}

HeadlessWindow::~HeadlessWindow() {
    backend_->Forget(this);
    if (picture_) cairo_surface_destroy(picture_);
}

void HeadlessWindow::SetState(BackendShowState state) {
    if (state == state_) return;
    state_ = state;
    if (state != BackendShowState::Normal) resizing_ = false;
    BackendEvent e;
    e.type = BackendEventType::StateChanged;
    e.state = state;
    if (sink_) sink_->OnBackendEvent(e);
}

void HeadlessWindow::Show(BackendShowCommand command) {
    switch (command) {
        case BackendShowCommand::Hide:
            SetState(BackendShowState::Hidden);
            backend_->PopupGone(this);
            break;
        case BackendShowCommand::Show:
            if (state_ == BackendShowState::Hidden) SetState(BackendShowState::Normal);
            Activate();
            break;
        case BackendShowCommand::ShowNoActivate:
            if (state_ == BackendShowState::Hidden) SetState(BackendShowState::Normal);
            break;
        case BackendShowCommand::Minimize:
            SetState(BackendShowState::Minimized);
            break;
        case BackendShowCommand::Maximize:
            if (state_ != BackendShowState::Maximized) restoreRect_ = rect_;
            SetState(BackendShowState::Maximized);
            SetRect(backend_->GetWorkArea());
            Activate();
            break;
        case BackendShowCommand::Restore:
            if (state_ == BackendShowState::Maximized) {
                SetState(BackendShowState::Normal);
                SetRect(restoreRect_);
            } else {
                SetState(BackendShowState::Normal);
            }
            Activate();
            break;
    }
}

void HeadlessWindow::BeginResize(BackendResizeEdge edge) {
    ++resizeRequests_;
    if (state_ == BackendShowState::Maximized || state_ == BackendShowState::Minimized) return;
    resizing_ = true;
    resizeEdge_ = edge;
    resizeStart_ = rect_;
    backend_->GetCursorPos(resizeFromX_, resizeFromY_);
}

void HeadlessWindow::ResizeMotion(int screenX, int screenY) {
    SetRect(
        ResizeByEdge(resizeStart_, resizeEdge_, screenX - resizeFromX_, screenY - resizeFromY_, minSize_, maxSize_));
}

void HeadlessWindow::SetSizeLimits(BackendSize minimum, BackendSize maximum) {
    minSize_ = minimum;
    maxSize_ = maximum;
    const BackendRect clamped = ClampToSizeLimits(rect_, minSize_, maxSize_);
    if (clamped.Width() != rect_.Width() || clamped.Height() != rect_.Height()) SetRect(clamped);
}

void HeadlessWindow::SetRect(const BackendRect& rect) {
    BackendRect old = rect_;
    rect_ = ClampToSizeLimits(rect, minSize_, maxSize_);
    if (rect_.right < rect_.left) rect_.right = rect_.left;
    if (rect_.bottom < rect_.top) rect_.bottom = rect_.top;
    if (!sink_) return;
    if (old.left != rect_.left || old.top != rect_.top) {
        BackendEvent e;
        e.type = BackendEventType::Moved;
        e.x = rect_.left;
        e.y = rect_.top;
        sink_->OnBackendEvent(e);
    }
    if (old.Width() != rect_.Width() || old.Height() != rect_.Height()) {
        BackendEvent e;
        e.type = BackendEventType::Resized;
        e.width = rect_.Width();
        e.height = rect_.Height();
        sink_->OnBackendEvent(e);
    }
}

bool HeadlessWindow::IsOwnedBy(const IBackendWindow* window) const {
    const std::vector<HeadlessWindow*> all = backend_->Windows();
    const IBackendWindow* owner = owner_;
    // Owners form no cycle; the bound only guards it.
    for (int depth = 0; owner != nullptr && depth < 16; ++depth) {
        if (owner == window) return true;
        auto it = std::find(all.begin(), all.end(), owner);
        if (it == all.end()) return false;
        owner = (*it)->owner_;
    }
    return false;
}

void HeadlessWindow::Activate() {
    backend_->Raise(this);
    HeadlessWindow* previous = backend_->ActiveWindow();
    if (previous == this) previous = nullptr;
    // The program raising its own window does not take the activation from
    // the window's open drop list or menu, which would close it; as on a
    // real display, the popup stays in front and the window is activated
    // once the popup goes.
    if (previous && previous->popup_ && previous->IsVisible() && previous->IsOwnedBy(this)) {
        backend_->Raise(previous);
        backend_->DeferActivation(this, previous);
        return;
    }
    if (previous) {
        previous->active_ = false;
        BackendEvent e;
        e.type = BackendEventType::Deactivated;
        if (previous->sink_) previous->sink_->OnBackendEvent(e);
    }
    if (!active_) {
        active_ = true;
        BackendEvent e;
        e.type = BackendEventType::Activated;
        if (sink_) sink_->OnBackendEvent(e);
    }
}

void HeadlessWindow::Present(cairo_surface_t* picture, const BackendRect& dirty) {
    if (!picture) return;
    int w = cairo_image_surface_get_width(picture);
    int h = cairo_image_surface_get_height(picture);
    if (!picture_ || cairo_image_surface_get_width(picture_) != w || cairo_image_surface_get_height(picture_) != h) {
        if (picture_) cairo_surface_destroy(picture_);
        picture_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    }
    cairo_t* cr = cairo_create(picture_);
    cairo_rectangle(cr, dirty.left, dirty.top, dirty.Width(), dirty.Height());
    cairo_clip(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
}

uint32_t HeadlessWindow::PixelAt(int x, int y) const {
    if (!picture_) return 0;
    cairo_surface_flush(picture_);
    int w = cairo_image_surface_get_width(picture_);
    int h = cairo_image_surface_get_height(picture_);
    if (x < 0 || y < 0 || x >= w || y >= h) return 0;
    const unsigned char* data = cairo_image_surface_get_data(picture_);
    int stride = cairo_image_surface_get_stride(picture_);
    return *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
}

bool HeadlessWindow::WritePng(const std::string& path) const {
    if (!picture_) return false;
    return cairo_surface_write_to_png(picture_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace DuiLib
