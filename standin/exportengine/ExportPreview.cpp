#include "host/KernelExportPreview.h"

#include "kernel/LastError.h"

// Not yet drawn: the preview arrives with the renderer's preview path.
QelExportPreview_s* QelUtilExportPreviewRender(const QelExportSettingOverride_s*, std::size_t, int, int) {
    qelmar::standin::setLastErrorMessage("Previews are not available.");
    return nullptr;
}

void QelUtilExportPreviewDealloc(QelExportPreview_s** preview) {
    if (preview)
        *preview = nullptr;
}
