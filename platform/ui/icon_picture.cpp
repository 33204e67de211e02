#include "platform/ui/icon_picture.h"

#include <string>

#include "platform/ui/image_loader.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/xml_document.h"

namespace DuiLib {

cairo_surface_t* LoadIconPictureUI(win::UINT resource) {
    CDuiString name;
    name.Format(L"icon%u.png", resource);
    std::string bytes;
    if (!ReadFileBytesUI(ResolveSkinPathUI(name).str(), bytes)) return nullptr;
    return LoadImageSurfaceUI(bytes);
}

}  // namespace DuiLib
