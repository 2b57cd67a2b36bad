#include "platform/linux/settings/FileSettingsStore.h"

#include "foundation/PropertyList.h"
#include "support/BinaryPlistBuilder.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iterator>
#include <poll.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tidemark;
using linux_platform::FileSettingsStore;
using tidemark::testing::readFile;
using tidemark::testing::TemporaryDirectory;
using tidemark::testing::writeFile;

namespace {

std::string xmlDocument(std::string_view entries) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" +
           std::string(entries) + "</dict>\n</plist>\n";
}

std::optional<ValueDictionary> parsedSettings(const std::filesystem::path& file) {
    const auto value = plist::decode(readFile(file));
    if (!value || !value->asDictionary())
        return std::nullopt;
    return *value->asDictionary();
}

// The names in a folder, sorted.
std::vector<std::string> entries(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Collects the one-line reports of a store.
struct Reports {
    std::vector<std::string> lines;
    FileSettingsStore::Reporter reporter() {
        return [this](const std::string& line) { lines.push_back(line); };
    }
};

} // namespace

TEST(FileSettingsStore, WritesAtomicallyOnlyOnChangeAndReadsBack) {
    TemporaryDirectory dir;
    const auto file = dir.path() / "tidemark" / "defaults.plist";
    {
        FileSettingsStore store(file);
        store.registerDefaults({{"displayStyle", Value(4)}});
        EXPECT_FALSE(std::filesystem::exists(file)); // registering writes nothing
        store.set("displayStyle", Value(2));
        store.set("activeSpaceColor",
                  Value(ValueArray{Value(0.5), Value(1), Value(0.0), Value(1.0)}));
    }
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(entries(file.parent_path()),
              (std::vector<std::string>{"defaults.plist", "defaults.plist.lock"}));

    // An unchanged value does not touch the file.
    struct stat before {};
    ::stat(file.c_str(), &before);
    std::filesystem::last_write_time(file, std::filesystem::file_time_type{});
    FileSettingsStore reopened(file);
    reopened.set("displayStyle", Value(2));
    EXPECT_EQ(std::filesystem::last_write_time(file), std::filesystem::file_time_type{});

    EXPECT_EQ(reopened.integer("displayStyle"), 2);
    EXPECT_EQ(*reopened.object("activeSpaceColor"),
              Value(ValueArray{Value(0.5), Value(1), Value(0.0), Value(1.0)}));
    reopened.remove("displayStyle");
    EXPECT_FALSE(FileSettingsStore(file).object("displayStyle"));
}

TEST(FileSettingsStore, AFileThatCannotBeOpenedIsReportedAndNeverWrittenOver) {
    struct Case {
        const char* name;
        std::function<void(const std::filesystem::path&)> make;
        const char* reason;
    };
    const std::vector<Case> cases{
        {"unreadable",
         [](const auto& file) {
             writeFile(file, xmlDocument("\t<key>displayStyle</key>\n\t<integer>1</integer>\n"));
             ::chmod(file.c_str(), 0);
         },
         "Permission denied"},
        {"fifo", [](const auto& file) { ::mkfifo(file.c_str(), 0600); }, "not a regular file"},
        {"folder", [](const auto& file) { std::filesystem::create_directory(file); },
         "not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string_view(c.name) == "unreadable" && ::geteuid() == 0)
            continue; // permissions do not stop root
        TemporaryDirectory dir;
        const auto file = dir.path() / "defaults.plist";
        c.make(file);
        struct stat before {};
        ::stat(file.c_str(), &before);
        Reports reports;
        FileSettingsStore store(file, reports.reporter());
        ASSERT_TRUE(store.openError());
        EXPECT_NE(store.openError()->find(c.reason), std::string::npos) << *store.openError();
        EXPECT_NE(store.openError()->find("cannot open"), std::string::npos);
        EXPECT_TRUE(store.storedValues().empty());
        store.set("displayStyle", Value(2));
        EXPECT_FALSE(store.lastWriteSucceeded());
        struct stat after {};
        ::stat(file.c_str(), &after);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_mtime, before.st_mtime);
        EXPECT_EQ(reports.lines.size(), 2u);
        for (const auto& line : reports.lines)
            EXPECT_EQ(line.find('\n'), std::string::npos);
        ::chmod(file.c_str(), 0600);
    }
}

TEST(FileSettingsStore, WritersKeepEachOthersKeysAndLearnThemOnTheirNextWrite) {
    TemporaryDirectory dir;
    const auto file = dir.path() / "tidemark" / "defaults.plist";
    FileSettingsStore first(file);
    FileSettingsStore second(file);
    std::vector<std::string> heard;
    auto token = first.observeChanges([&](std::string_view key) { heard.emplace_back(key); });
    first.set("a", Value(1));
    second.set("b", Value(2));
    first.set("c", Value(3));
    second.remove("a");
    EXPECT_EQ(FileSettingsStore(file).storedValues(),
              (ValueDictionary{{"b", Value(2)}, {"c", Value(3)}}));
    // The first store heard of "b" when it wrote "c".
    EXPECT_EQ(heard, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(first.integer("b"), 2);
}

TEST(FileSettingsStore, EntriesItHasNoFormForSurviveAWriteAsWritten) {
    const std::vector<std::string> foreign{
        "\t<key>early</key>\n\t<date>1900-01-01T00:00:00Z</date>\n",
        "\t<key>late</key>\n\t<date>9999-12-31T23:59:59Z</date>\n",
        "\t<key>unsigned</key>\n\t<integer>18446744073709551615</integer>\n",
        "\t<key>huge</key>\n\t<integer>99999999999999999999</integer>\n",
        "\t<key>hugeNegative</key>\n\t<integer>-99999999999999999999</integer>\n",
        "\t<!-- a comment -->\n\t<key>a &amp; b</key>\n\t<string>x</string>\n",
    };
    std::string entries;
    for (const auto& entry : foreign)
        entries += entry;
    TemporaryDirectory dir;
    const auto file = dir.path() / "defaults.plist";
    writeFile(file, xmlDocument(entries + "\t<key>displayStyle</key>\n\t<integer>1</integer>\n"));
    FileSettingsStore store(file);
    store.set("displayStyle", Value(2));
    store.set("activeSpaceColor", Value(ValueArray{Value(0.5), Value(1), Value(0.0), Value(1.0)}));
    store.set("a & b", Value("y"));
    const auto text = readFile(file);
    for (const auto& entry : foreign) {
        if (entry.find("a &amp; b") != std::string::npos)
            continue; // rewritten on purpose
        EXPECT_NE(text.find(entry), std::string::npos) << entry << "\nnot in\n" << text;
    }
    const auto reread = parsedSettings(file);
    ASSERT_TRUE(reread);
    EXPECT_EQ(*findIn(*reread, "displayStyle"), Value(2));
    EXPECT_EQ(*findIn(*reread, "a & b"), Value("y"));
    store.remove("displayStyle");
    EXPECT_EQ(readFile(file).find("displayStyle"), std::string::npos);
    EXPECT_NE(readFile(file).find(foreign[3]), std::string::npos);

    // A binary list keeps its form and the nodes of the other entries.
    const auto binary = plist::encodeBinary(Value(ValueDictionary{{"keep", Value("me")}}));
    writeFile(file, std::string(binary->begin(), binary->end()));
    FileSettingsStore binaryStore(file);
    binaryStore.set("displayStyle", Value(1));
    EXPECT_TRUE(readFile(file).starts_with("bplist00"));
    EXPECT_EQ(parsedSettings(file),
              (ValueDictionary{{"keep", Value("me")}, {"displayStyle", Value(1)}}));
}

TEST(FileSettingsStore, ASymbolicLinkKeepsPointingAtTheReplacedTarget) {
    TemporaryDirectory dir;
    std::filesystem::create_directories(dir.path() / "dotfiles");
    const auto target = dir.path() / "dotfiles" / "tidemark.plist";
    const auto link = dir.path() / "defaults.plist";
    writeFile(target, xmlDocument("\t<key>keep</key>\n\t<true/>\n"));
    std::filesystem::create_symlink("dotfiles/tidemark.plist", link);
    FileSettingsStore store(link);
    EXPECT_TRUE(store.boolean("keep"));
    store.set("displayStyle", Value(2));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(parsedSettings(target),
              (ValueDictionary{{"keep", Value(true)}, {"displayStyle", Value(2)}}));
}

TEST(FileSettingsStore, RemovesTheTemporaryFilesOfDeadWritersOnly) {
    TemporaryDirectory dir;
    const auto file = dir.path() / "defaults.plist";
    const pid_t dead = ::fork();
    if (dead == 0)
        ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const auto deadTemporary = dir.path() / ("defaults.plist.tmp-" + std::to_string(dead));
    const auto liveTemporary = dir.path() / ("defaults.plist.tmp-" + std::to_string(::getppid()));
    writeFile(deadTemporary, "<plist");
    writeFile(liveTemporary, "<plist");
    FileSettingsStore store(file);
    store.set("displayStyle", Value(1));
    EXPECT_FALSE(std::filesystem::exists(deadTemporary));
    EXPECT_TRUE(std::filesystem::exists(liveTemporary));
}

// Writers killed at random moments leave the old or the new file, never a torn one; readers
// never see a torn one while they write.
TEST(FileSettingsStore, AKilledWriterLeavesTheOldOrTheNewFile) {
    TemporaryDirectory dir;
    const auto file = dir.path() / "defaults.plist";
    // Every whole version of the file holds a value this large; a torn one is smaller.
    const std::string big(1 << 16, 'x');
    FileSettingsStore(file).set("round", Value(big));
    std::mt19937 random(7);
    for (int round = 1; round <= 25; ++round) {
        const pid_t writer = ::fork();
        if (writer == 0) {
            FileSettingsStore store(file, [](const std::string&) {});
            for (int i = 0;; ++i)
                store.set("round", Value(big + std::to_string(round) + (i % 2 ? "a" : "b")));
        }
        const auto deadline =
            std::chrono::steady_clock::now() +
            std::chrono::microseconds(std::uniform_int_distribution<int>(20000, 100000)(random));
        bool torn = false;
        while (!torn && std::chrono::steady_clock::now() < deadline)
            torn = std::filesystem::file_size(file) < big.size();
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
        ASSERT_FALSE(torn) << "torn while written in round " << round;
        const auto settings = parsedSettings(file);
        ASSERT_TRUE(settings) << "torn after round " << round;
        const auto* value = findIn(*settings, "round");
        ASSERT_TRUE(value && value->asString());
        EXPECT_TRUE(value->asString()->starts_with(big));
    }
    FileSettingsStore(file).set("round", Value(big));
    EXPECT_EQ(entries(dir.path()),
              (std::vector<std::string>{"defaults.plist", "defaults.plist.lock"}));
}

TEST(FileSettingsStore, HearsAnotherWriterAndSetsADamagedFileAside) {
    TemporaryDirectory dir;
    const auto file = dir.path() / "tidemark" / "defaults.plist";
    Reports reports;
    FileSettingsStore watching(file, reports.reporter());
    const int fd = watching.changeDescriptor();
    ASSERT_GE(fd, 0);
    std::vector<std::string> heard;
    auto token = watching.observeChanges([&](std::string_view key) { heard.emplace_back(key); });
    const auto waitForChange = [&] {
        pollfd readable{fd, POLLIN, 0};
        return ::poll(&readable, 1, 5000) == 1 && watching.reloadIfChanged();
    };

    FileSettingsStore other(file);
    other.set("displayStyle", Value(1));
    ASSERT_TRUE(waitForChange());
    EXPECT_EQ(heard, std::vector<std::string>{"displayStyle"});
    EXPECT_EQ(watching.integer("displayStyle"), 1);
    EXPECT_FALSE(watching.reloadIfChanged()); // nothing new

    // Changes elsewhere in the folder are no change of the settings.
    writeFile(file.parent_path() / "unrelated", "x");
    EXPECT_FALSE(waitForChange());

    writeFile(file, "<plist><dict><key>displayStyle</key>");
    ASSERT_TRUE(waitForChange());
    EXPECT_EQ(heard, (std::vector<std::string>{"displayStyle", "displayStyle"}));
    EXPECT_TRUE(watching.storedValues().empty());
    ASSERT_EQ(reports.lines.size(), 1u);
    EXPECT_NE(reports.lines[0].find("moved it to"), std::string::npos) << reports.lines[0];
    EXPECT_FALSE(std::filesystem::exists(file));
}

// Each damaged file is kept under a name of its own that the report gives, and the store
// starts empty; a new value makes a fresh file beside the kept ones.
TEST(FileSettingsStore, DamagedFilesAreSetAsideUnderNamesOfTheirOwn) {
    std::string deep;
    for (int i = 0; i < 10000; ++i)
        deep += "<array>";
    for (int i = 0; i < 10000; ++i)
        deep += "</array>";
    const struct {
        const char* name;
        std::string contents;
        std::string reason;
    } cases[] = {
        {"cut short", "<plist><dict><key>displayStyle</key>", "(not a property list)"},
        {"deep", xmlDocument("<key>deep</key>" + deep), "(elements nested deeper than 512 levels)"},
        {"deep binary", tidemark::testing::BinaryPlistBuilder::nested(300'000),
         "(objects nested deeper than 512 levels)"},
        {"a key without a value", xmlDocument("<key>a</key><integer>1</integer><key>b</key>"),
         "(not a property list)"},
        {"an array", "<plist version=\"1.0\"><array/></plist>", "(it holds no dictionary)"},
    };
    TemporaryDirectory dir;
    const auto file = dir.path() / "defaults.plist";
    std::vector<std::string> kept{"defaults.plist.lock"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(file, c.contents);
        Reports reports;
        FileSettingsStore store(file, reports.reporter());
        EXPECT_TRUE(store.storedValues().empty());
        EXPECT_FALSE(std::filesystem::exists(file));
        ASSERT_EQ(reports.lines.size(), 1u);
        EXPECT_NE(reports.lines[0].find(c.reason), std::string::npos) << reports.lines[0];
        const auto names = entries(dir.path());
        std::vector<std::string> added;
        std::set_difference(names.begin(), names.end(), kept.begin(), kept.end(),
                            std::back_inserter(added));
        ASSERT_EQ(names.size(), kept.size() + 1);
        ASSERT_EQ(added.size(), 1u);
        EXPECT_TRUE(added[0].starts_with("defaults.plist.damaged-")) << added[0];
        EXPECT_NE(reports.lines[0].find(added[0]), std::string::npos) << reports.lines[0];
        kept = names;
    }
    FileSettingsStore(file, [](const std::string&) {}).set("displayStyle", Value(1));
    EXPECT_EQ(entries(dir.path()).size(), kept.size() + 1);
}

// Another program makes the file in place and writes it slowly, as a shell redirection or
// `cp` does: the empty or partial file is no damaged file. Once the writer closes it, it is
// read; a writer that keeps it open past the grace time has it judged as it stands.
TEST(FileSettingsStore, AFileStillBeingWrittenIsReadOnceItsWriterIsDone) {
    TemporaryDirectory dir;
    const auto file = dir.path() / "defaults.plist";
    Reports reports;
    FileSettingsStore store(file, reports.reporter());
    store.set("displayStyle", Value(2));
    ASSERT_GE(store.changeDescriptor(), 0);
    std::vector<std::string> heard;
    auto token = store.observeChanges([&](std::string_view key) { heard.emplace_back(key); });
    // The store's next look, after whatever woke it.
    const auto nextLook = [&] {
        std::vector<pollfd> fds;
        for (const int fd : store.eventFds())
            fds.push_back({fd, POLLIN, 0});
        return ::poll(fds.data(), fds.size(), 10'000) > 0 && store.reloadIfChanged();
    };
    const auto good = xmlDocument("<key>displayStyle</key><integer>4</integer>\n");
    const auto half = good.size() / 2;

    std::filesystem::remove(file);
    ASSERT_TRUE(nextLook());
    EXPECT_TRUE(store.storedValues().empty());
    heard.clear();

    const int writer = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    ASSERT_GE(writer, 0);
    ASSERT_TRUE(nextLook()); // saw it created, empty
    ASSERT_EQ(::write(writer, good.data(), half), ssize_t(half));
    ASSERT_EQ(::write(writer, good.data() + half, good.size() - half), ssize_t(good.size() - half));
    EXPECT_TRUE(reports.lines.empty()) << reports.lines[0];
    EXPECT_TRUE(heard.empty());
    ::close(writer);
    ASSERT_TRUE(nextLook());
    EXPECT_EQ(store.integer("displayStyle"), 4);
    EXPECT_EQ(heard, std::vector<std::string>{"displayStyle"});
    EXPECT_TRUE(reports.lines.empty()) << reports.lines[0];
    EXPECT_EQ(entries(dir.path()),
              (std::vector<std::string>{"defaults.plist", "defaults.plist.lock"}));

    // A writer that stops halfway and keeps the file open.
    std::filesystem::remove(file);
    ASSERT_TRUE(nextLook());
    const int stalled = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    ASSERT_GE(stalled, 0);
    ASSERT_EQ(::write(stalled, good.data(), half), ssize_t(half));
    while (reports.lines.empty() && nextLook()) {
    }
    ::close(stalled);
    ASSERT_EQ(reports.lines.size(), 1u);
    EXPECT_NE(reports.lines[0].find("moved it to"), std::string::npos) << reports.lines[0];
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(store.storedValues().empty());
}

// Without a home folder there is no place for the file: one line, and every write refused
// rather than made somewhere under the current directory.
TEST(FileSettingsStore, WithoutAPlaceForTheFileItSaysSoOnceAndKeepsNothing) {
    TemporaryDirectory dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    Reports reports;
    FileSettingsStore store({}, reports.reporter());
    store.set("displayStyle", Value(1));
    std::filesystem::current_path(previous);
    EXPECT_EQ(store.integer("displayStyle"), 1); // in memory
    EXPECT_FALSE(store.lastWriteSucceeded());
    ASSERT_TRUE(store.openError());
    EXPECT_EQ(reports.lines, std::vector<std::string>{*store.openError()});
    EXPECT_TRUE(entries(dir.path()).empty());
    EXPECT_EQ(store.changeDescriptor(), -1);
}
