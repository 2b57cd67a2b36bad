#include "main/Commands.h"
#include "main/ScenarioLoading.h"
#include "main/StripRendering.h"
#include "ui/GuiApplication.h"

#include <QImage>
#include <QString>
#include <iostream>

namespace tidemark::cli {

int runRender(const Arguments& args) {
    if (auto unknown = args.unknownOption({"--scenario", "--out", "--scale"})) {
        std::cerr << "tidemark render: unknown option '" << *unknown << "'\n";
        return kExitUsage;
    }
    const auto out = args.option("--out");
    if (!out) {
        std::cerr << "tidemark render: --out FILE.png is required\n";
        return kExitUsage;
    }
    const auto scale = parseScale(args, "render");
    if (!scale)
        return kExitUsage;
    const auto file = args.option("--scenario");
    if (!file) {
        std::cerr << "tidemark render: reading the live desktop is not available in this build; "
                     "use --scenario FILE\n";
        return kExitFailure;
    }
    auto scenario = loadScenarioOrReport(*file);
    if (!scenario)
        return kExitUsage;

    ui::ensureGuiApplication();
    const RenderedStrip strip = renderFirstSnapshot(std::move(*scenario));
    if (!writePng(stripPixels(strip, *scale), *out, "render"))
        return kExitFailure;
    std::cout << layoutReport(strip).dump(2) << "\n";
    return kExitOk;
}

} // namespace tidemark::cli
