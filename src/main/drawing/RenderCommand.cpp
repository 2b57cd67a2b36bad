#include "main/Commands.h"
#include "main/drawing/StripRendering.h"
#include "platform/linux/session/SessionFiles.h"
#include "ui/GuiApplication.h"

#include <QImage>
#include <QString>
#include <iostream>

namespace tidemark::cli {

int runRender(Invocation call) {
    const auto scale = parseScale(call, "render");
    if (!scale)
        return kExitUsage;

    ui::ensureGuiApplication(linux_platform::runtimeFolderFallback());
    const RenderedStrip strip = renderFirstSnapshot(std::move(*call.scenario));
    if (!writePng(stripPixels(strip, *scale), *call.option("--out"), "render"))
        return kExitFailure;
    std::cout << layoutReport(strip).dump(2) << "\n";
    return kExitOk;
}

} // namespace tidemark::cli
