#pragma once
// The operations that have no direct call in the object model: each builds an action
// descriptor as a recorded action holds it and runs it with ExecuteAction. They act on the
// active document and its active (target) layer, so callers activate those first. Every ID is
// converted when it is used, one application call per conversion.

#include <cstdint>
#include <functional>
#include <string>

#include "photoshop/object_model.h"

namespace photoshop {

// The active document is resampled bicubically to exactly W x H pixels; a different aspect
// ratio distorts it.
void ScaleImageSize(Application& PhotoshopApp, double W, double H);

// A copy of the active document named NewDocName; it becomes the active document.
void DuplicateDoc(Application& PhotoshopApp, const std::string& NewDocName);

// Copies the active layer (or set) of the active document into the open document DocDest.
// Handles its own failures: when DocDest is not open it shows DocDest + " Document Closed"
// through `showMessage`; a busy application is passed on to be retried; any other failure ends
// it silently.
void DuplicateLayer(Application& PhotoshopApp, const std::string& DocDest,
                    const std::function<void(const std::string& message)>& showMessage);

// Gives the target layer the colour label of a four-character code ("Rd  ", "Grn "...).
void SetLayerColorLabel(Application& PhotoshopApp, const std::string& colorCode);

// Recolours the target layer, a solid-colour fill layer, with a colour value (see RGBValue).
void SetLayerContentColor(Application& PhotoshopApp, std::int32_t LColor);

// Saves the active document in Photoshop format with maximised compatibility, letting the
// application ask the user for the file first (dialog mode 1). A cancelled dialog fails with
// ErrorCode::Cancelled.
void SaveAsPSD(Application& PhotoshopApp, const std::string& path);

// Switches off the target layer's layer style. A layer without a style is no failure; only a
// busy application is reported.
void DeleteLayerStyle(Application& PhotoshopApp);

}  // namespace photoshop
