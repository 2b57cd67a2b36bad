#include "ui/popover/AppIconProvider.h"

#include "platform/sim/SimPlatform.h"
#include "spaces/WindowSpaceMapper.h"
#include "support/TemporaryDirectory.h"
#include "ui/GuiApplication.h"
#include "ui/popover/IconFile.h"

#include <QImage>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tidemark::testing {
namespace {

// A workspace whose every app has the same window icon: `edge` pixels of one colour.
class WindowIconWorkspace final : public Workspace {
public:
    WindowIconWorkspace(int edge, QColor color) : edge_(edge), color_(color) {}

    std::vector<RunningApplication> runningApplications() override { return {}; }
    Appearance effectiveAppearance() override { return Appearance::Light; }
    std::optional<std::string> ownBundleIdentifier() override { return std::nullopt; }
    ImageRef iconForFile(const std::string&) override { return nullptr; }
    ImageRef applicationIcon(std::int32_t) override {
        Bitmap bitmap{edge_, edge_, {}};
        for (int i = 0; i < edge_ * edge_; ++i)
            bitmap.rgba.insert(bitmap.rgba.end(),
                               {std::uint8_t(color_.red()), std::uint8_t(color_.green()),
                                std::uint8_t(color_.blue()), 255});
        return Image::fromBitmap({double(edge_), double(edge_)}, std::move(bitmap));
    }
    ImageRef genericApplicationIcon() override { return nullptr; }
    bool isApplicationInstalled(const std::string&) override { return false; }
    WorkspaceEvents& events() override { return events_; }

private:
    int edge_;
    QColor color_;
    WorkspaceEvents events_;
};

TEST(AppIconProvider, TakesTheDesktopEntryIconThenTheWindowIconThenDrawsATile) {
    ui::ensureGuiApplication();
    const testing::TemporaryDirectory folder;
    const auto entryIcon = folder.path() / "entry-icon.png";
    QImage red(32, 32, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(QString::fromStdString(entryIcon.string())));
    // Untrusted files: a FIFO no one writes to, and a good picture grown past the size bound.
    const auto fifo = folder.path() / "fifo.png";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto huge = folder.path() / "huge.png";
    std::filesystem::copy_file(entryIcon, huge);
    std::filesystem::resize_file(huge, ui::kMaxIconFileBytes + 1);

    struct Case {
        const char* what;
        std::optional<std::string> iconName;
        int windowIconEdge;
        std::optional<QColor> centre; // absent: the drawn tile
    };
    const std::vector<Case> cases{
        {"entry icon by path", entryIcon.string(), 16, QColor(Qt::red)},
        {"entry icon missing", std::string("no-such-theme-icon-anywhere"), 16, QColor(Qt::blue)},
        {"entry icon a FIFO", fifo.string(), 16, QColor(Qt::blue)},
        {"entry icon a device", std::string("/dev/zero"), 16, QColor(Qt::blue)},
        {"entry icon too large", huge.string(), 16, QColor(Qt::blue)},
        {"no entry", std::nullopt, 16, QColor(Qt::blue)},
        {"placeholder window icon", std::nullopt, 4, std::nullopt},
    };
    const SpaceAppDetail app{"editor", nullptr, "org.example.Editor", 102};
    for (const auto& c : cases) {
        WindowIconWorkspace workspace(c.windowIconEdge, Qt::blue);
        const ui::AppIconProvider provider(&workspace, [&c](const std::string& key) {
            return key == "org.example.Editor" ? c.iconName : std::nullopt;
        });
        const QImage icon = provider.icon(app, 20, 2).toImage();
        EXPECT_EQ(icon.size(), QSize(40, 40)) << c.what;
        const QColor centre = icon.pixelColor(20, 8);
        if (c.centre) {
            EXPECT_EQ(centre.rgb(), c.centre->rgb()) << c.what;
        } else {
            // A rounded tile: clear corners, an opaque coloured body.
            EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0) << c.what;
            EXPECT_EQ(centre.alpha(), 255) << c.what;
            EXPECT_NE(centre.rgb(), QColor(Qt::blue).rgb()) << c.what;
        }
    }

    // Tiles of different apps differ in colour; the same app keeps its own.
    const auto tile = [](const char* key) {
        return ui::AppIconProvider::initialTile("App", key, 20, 1).toImage().pixelColor(10, 3);
    };
    EXPECT_NE(tile("org.example.A"), tile("org.example.B"));
    EXPECT_EQ(tile("org.example.A"), tile("org.example.A"));
}

TEST(AppIconProvider, TheStripTakesThePanelsPictureWhereItIsTheIconSource) {
    ui::ensureGuiApplication();
    // The sim's window icons are placeholders, so the provider draws the app's tile where the
    // workspace alone would give its own icon.
    sim::SimPlatform platform(sim::parseScenario(
        R"({"windows": [{"kCGWindowNumber": 1, "kCGWindowOwnerPID": 101, "kCGWindowLayer": 0,
                         "spaces": [1]}],
            "apps": [{"pid": 101, "bundleIdentifier": "org.example.Editor",
                      "localizedName": "Editor"}]})",
        "icon source test"));
    const ui::AppIconProvider provider(&platform.workspace);
    WindowSpaceMapper strip(platform.windowServer, platform.workspace, nullptr, &provider);
    const auto icons = strip.mapAppsToSpaces({"1"}).icons.at("1");
    ASSERT_EQ(icons.size(), 1u);
    ASSERT_NE(icons[0]->bitmap(), nullptr);
    const QImage panel = provider.icon({"Editor", nullptr, "org.example.Editor", 101}, 36, 1)
                             .toImage()
                             .convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    const Bitmap& bitmap = *icons[0]->bitmap();
    ASSERT_EQ(bitmap.width, panel.width());
    ASSERT_EQ(bitmap.height, panel.height());
    for (int y = 0; y < panel.height(); ++y)
        ASSERT_EQ(0, std::memcmp(bitmap.rgba.data() + std::size_t(y) * bitmap.width * 4,
                                 panel.constScanLine(y), std::size_t(bitmap.width) * 4))
            << "row " << y;

    WindowSpaceMapper workspaceOnly(platform.windowServer, platform.workspace);
    EXPECT_EQ(workspaceOnly.mapAppsToSpaces({"1"}).icons.at("1")[0]->name(), "app:Editor");
}

TEST(IconFile, OnlyRegularFilesWithinTheBoundAreRead) {
    using std::filesystem::file_type;
    const std::pair<file_type, std::uintmax_t> readable[] = {
        {file_type::regular, 0},
        {file_type::regular, ui::kMaxIconFileBytes},
    };
    const std::pair<file_type, std::uintmax_t> refused[] = {
        {file_type::regular, ui::kMaxIconFileBytes + 1},
        {file_type::fifo, 0},
        {file_type::character, 0},
        {file_type::block, 4096},
        {file_type::socket, 0},
        {file_type::directory, 4096},
        {file_type::unknown, 0},
    };
    for (const auto& [type, bytes] : readable)
        EXPECT_TRUE(ui::isReadableIconFile(type, bytes)) << int(type) << " " << bytes;
    for (const auto& [type, bytes] : refused)
        EXPECT_FALSE(ui::isReadableIconFile(type, bytes)) << int(type) << " " << bytes;
}

} // namespace
} // namespace tidemark::testing
