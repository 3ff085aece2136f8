#include "platform/settings_store.h"

#include "platform/errors.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace galerion {
namespace {

namespace fs = std::filesystem;

constexpr const char* kKey = "Software\\Tarnwick\\Galerion\\1.0";

class SettingsStoreTest : public testing::Test {
protected:
    void WriteBytes(const std::string& bytes) const {
        std::ofstream(file_, std::ios::binary) << bytes;
    }
    static std::string ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TTempFolder temp_;
    fs::path folder_ = temp_.Path();
    std::string file_ = temp_.File("Galerion.reg");
};

std::string Utf16LeWithBom(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

TEST_F(SettingsStoreTest, EveryTypeSurvivesARoundTrip) {
    const std::string awkward = "C:\\Photos\\\"Trip\" \xC3\xA9t\xC3\xA9";
    const std::string multiLine = "first\r\nsecond\nthird";
    std::vector<std::uint8_t> longBinary(100);
    for (size_t i = 0; i < longBinary.size(); ++i) longBinary[i] = static_cast<std::uint8_t>(i * 7);
    {
        TSettingsStore store(file_);
        ASSERT_TRUE(store.OpenKey(kKey, true));
        store.WriteNumber("Position", "Width", 90);
        store.WriteNumber("Position", "Top", -1);
        store.WriteNumber("Position", "Left", INT32_MIN);
        store.WriteText("Options", "MainDir", awkward);
        store.WriteText("Options", "Empty", "");
        store.WriteText("Options", "Lines", multiLine);
        store.WriteText("Options", "", "default value");
        store.WriteBinary("Options", "Blob", longBinary);
        store.WriteBinary("Options", "Nothing", {});
        store.CloseKey();
    }
    const std::string text = ReadBytes(file_);
    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\n", 0), 0u);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Tarnwick\\Galerion\\1.0\\Position]\n"
                        "\"Width\"=dword:0000005a\n\"Top\"=dword:ffffffff\n"),
              std::string::npos);
    EXPECT_NE(text.find("\"MainDir\"=\"C:\\\\Photos\\\\\\\"Trip\\\" \xC3\xA9t\xC3\xA9\"\n"),
              std::string::npos);
    EXPECT_NE(text.find("@=\"default value\"\n"), std::string::npos);

    TSettingsStore store(file_);
    ASSERT_TRUE(store.OpenKey(kKey, false));
    EXPECT_TRUE(store.LoadProblem().empty());
    EXPECT_EQ(store.ReadNumber("Position", "Width"), 90);
    EXPECT_EQ(store.ReadNumber("Position", "Top"), -1);
    EXPECT_EQ(store.ReadNumber("Position", "Left"), INT32_MIN);
    EXPECT_EQ(store.ReadText("Options", "MainDir"), awkward);
    EXPECT_EQ(store.ReadText("Options", "Empty"), "");
    EXPECT_EQ(store.ReadText("Options", "Lines"), multiLine);
    EXPECT_EQ(store.ReadText("Options", ""), "default value");
    EXPECT_EQ(store.ReadBinary("Options", "Blob"), longBinary);
    EXPECT_EQ(store.ReadBinary("Options", "Nothing"), std::vector<std::uint8_t>{});

    EXPECT_EQ(store.ValueType("Position", "Width"), TStoreValueType::Number);
    EXPECT_EQ(store.ValueType("Options", "MainDir"), TStoreValueType::Text);
    EXPECT_EQ(store.ValueType("Options", "Blob"), TStoreValueType::Binary);
    EXPECT_EQ(store.ValueType("Options", "Missing"), TStoreValueType::Absent);
    EXPECT_EQ(store.ValueType("NoSuchKey", "Width"), TStoreValueType::Absent);
    EXPECT_THROW(store.ReadNumber("Options", "MainDir"), ConvertError);
    EXPECT_THROW(store.ReadText("Position", "Width"), ConvertError);
    EXPECT_THROW(store.ReadNumber("Options", "Missing"), ConvertError);
}

TEST_F(SettingsStoreTest, MultiLineTextsKeepTheirBytes) {
    const std::string texts[] = {
        std::string("ends with NUL\n\0", 16),
        "bad UTF-8 \xFF\xC3(\xE2\x82 \xC0\x80 \xED\xB2\x80\nsecond line",
        std::string("\0\0", 2),
    };
    {
        TSettingsStore store(file_);
        ASSERT_TRUE(store.OpenKey("K", true));
        for (size_t i = 0; i < std::size(texts); ++i)
            store.WriteText("", std::to_string(i), texts[i]);
        store.CloseKey();
    }
    TSettingsStore store(file_);
    ASSERT_TRUE(store.OpenKey("K", false));
    for (size_t i = 0; i < std::size(texts); ++i)
        EXPECT_EQ(store.ReadText("", std::to_string(i)), texts[i]) << i;
}

TEST_F(SettingsStoreTest, ReadsAWindowsExport) {
    // What the registry editor writes: UTF-16LE with a byte order mark, CRLF, parent keys,
    // wrapped hex data and types this program never writes itself.
    WriteBytes(Utf16LeWithBom(
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Tarnwick]\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Galerion\\1.0\\Options]\r\n"
        "\"DB\"=\"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\\\Program Files\\\\db.mdb\"\r\n"
        "\"JpegCompressionThumb\"=dword:00000050\r\n"
        "\"Blob\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,\\\r\n"
        "  18,19,1a\r\n"
        "\"Path\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\r\n"
        "\"Caption\"=hex(1):41,00,e9,00,00,00\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\Tarnwick\\Galerion\\1.0\\FullSize_Position]\r\n"
        "\"Scale\"=\"1\"\r\n"));

    TSettingsStore store(file_);
    ASSERT_TRUE(store.OpenKey("software\\TARNWICK\\galerion\\1.0", false));
    EXPECT_TRUE(store.LoadProblem().empty()) << store.LoadProblem();
    EXPECT_EQ(store.ReadText("options", "db"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Program Files\\db.mdb");
    EXPECT_EQ(store.ReadNumber("OPTIONS", "jpegcompressionthumb"), 80);
    EXPECT_EQ(store.ReadBinary("Options", "Blob").size(), 26u);
    EXPECT_EQ(store.ReadBinary("Options", "Blob").back(), 0x1a);
    EXPECT_EQ(store.ValueType("Options", "Path"), TStoreValueType::Binary);
    EXPECT_EQ(store.ReadText("Options", "Caption"), "A\xC3\xA9");
    EXPECT_TRUE(store.KeyExists("FullSize_Position"));

    // Rewritten as UTF-8; what this program does not know stays.
    store.WriteNumber("Options", "JpegCompressionThumb", 75);
    store.CloseKey();
    const std::string text = ReadBytes(file_);
    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\n", 0), 0u);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Tarnwick]\n"), std::string::npos);
    EXPECT_NE(text.find("\"Path\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\n"),
              std::string::npos);
    EXPECT_NE(text.find("\"JpegCompressionThumb\"=dword:0000004b\n"), std::string::npos);
    EXPECT_NE(text.find("\"Scale\"=\"1\"\n"), std::string::npos);
}

TEST_F(SettingsStoreTest, ReadsEveryEncodingAndLineEnding) {
    const std::string body =
        "Windows Registry Editor Version 5.00|\n|[HKEY_CURRENT_USER\\K]|\"N\"=\"v\"|";
    auto withEndings = [&](const std::string& ending) {
        std::string out;
        for (char c : body) out += c == '|' ? ending : std::string(1, c);
        return out;
    };
    auto utf16LeBare = [](const std::string& ascii) { return Utf16LeWithBom(ascii).substr(2); };
    auto utf16Be = [](const std::string& ascii) {
        std::string bytes = "\xFE\xFF";
        for (char c : ascii) bytes += std::string(1, '\0') + c;
        return bytes;
    };
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"UTF-8, LF", withEndings("\n")},
        {"UTF-8 with BOM, CRLF", "\xEF\xBB\xBF" + withEndings("\r\n")},
        {"UTF-8, CR only", withEndings("\r")},
        {"UTF-16LE with BOM, CRLF", Utf16LeWithBom(withEndings("\r\n"))},
        {"UTF-16LE without BOM", utf16LeBare(withEndings("\r\n"))},
        {"UTF-16BE with BOM", utf16Be(withEndings("\n"))},
        {"old header", "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"N\"=\"v\"\n"},
    };
    for (const auto& [label, bytes] : cases) {
        WriteBytes(bytes);
        TSettingsStore store(file_);
        ASSERT_TRUE(store.OpenKey("K", false)) << label;
        EXPECT_EQ(store.LoadProblem(), "") << label;
        EXPECT_EQ(store.ReadText("", "N"), "v") << label;
    }
}

TEST_F(SettingsStoreTest, NamesIgnoreCaseAndTheLastDuplicateWins) {
    WriteBytes(
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_CURRENT_USER\\Soft\\App]\n\"Width\"=dword:00000001\n\"Top\"=dword:00000007\n"
        "[HKEY_CURRENT_USER\\soft\\app]\n\"WIDTH\"=dword:00000002\n");
    TSettingsStore store(file_);
    ASSERT_TRUE(store.OpenKey("SOFT\\APP", false));
    EXPECT_EQ(store.ReadNumber("", "width"), 2);
    EXPECT_EQ(store.ReadNumber("", "TOP"), 7);
    store.WriteText("", "wIdTh", "3");
    EXPECT_EQ(store.ValueNames(""), (std::vector<std::string>{"Width", "Top"}));
    EXPECT_EQ(store.ReadText("", "Width"), "3");
    store.CloseKey();
    const std::string text = ReadBytes(file_);
    EXPECT_EQ(text.find("[HKEY_CURRENT_USER\\soft\\app]"), std::string::npos);  // merged
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Soft\\App]\n\"Width\"=\"3\"\n"), std::string::npos);
}

TEST_F(SettingsStoreTest, RemovalLinesAreHonoured) {
    WriteBytes(
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_CURRENT_USER\\A\\Gone]\n\"X\"=dword:00000001\n"
        "[HKEY_CURRENT_USER\\A]\n\"Kept\"=\"1\"\n\"Dropped\"=\"1\"\n\"Dropped\"=-\n"
        "[-HKEY_CURRENT_USER\\A\\Gone]\n");
    TSettingsStore store(file_);
    ASSERT_TRUE(store.OpenKey("A", false));
    EXPECT_FALSE(store.KeyExists("Gone"));
    EXPECT_EQ(store.ValueNames(""), std::vector<std::string>{"Kept"});
}

TEST_F(SettingsStoreTest, AMissingKeyIsCreatedOnlyWhenAllowed) {
    {
        TSettingsStore store(file_);
        EXPECT_FALSE(store.OpenKey(kKey, false));
        EXPECT_FALSE(store.IsOpen());
    }
    EXPECT_FALSE(fs::exists(file_));
    {
        TSettingsStore store(file_);
        ASSERT_TRUE(store.OpenKey(kKey, true));
        store.CloseKey();
    }
    EXPECT_NE(ReadBytes(file_).find("[HKEY_CURRENT_USER\\Software\\Tarnwick\\Galerion\\1.0]\n"),
              std::string::npos);
    TSettingsStore store(file_);
    EXPECT_TRUE(store.OpenKey("Software\\Tarnwick", false));  // a parent of a stored key exists
}

TEST_F(SettingsStoreTest, ReplacesTheFileAtomically) {
    {
        TSettingsStore store(file_);
        ASSERT_TRUE(store.OpenKey("K", true));
        store.WriteNumber("", "N", 1);
    }  // closing on destruction writes too
    const std::string oldText = ReadBytes(file_);
    const std::string oldLink = (folder_ / "old-link").string();
    fs::create_hard_link(file_, oldLink);
    ::chmod(file_.c_str(), 0640);

    TSettingsStore store(file_);
    ASSERT_TRUE(store.OpenKey("K", false));
    store.WriteNumber("", "N", 2);
    store.CloseKey();

    // The old file was replaced, not rewritten in place, and no temporary file is left.
    EXPECT_EQ(ReadBytes(oldLink), oldText);
    EXPECT_NE(ReadBytes(file_).find("\"N\"=dword:00000002"), std::string::npos);
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"Galerion.reg", "old-link"}));
    struct stat info {};
    ASSERT_EQ(::stat(file_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(SettingsStoreTest, ReadingAloneNeverRewritesTheFile) {
    WriteBytes(
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\"N\"=\"v\"\r\n");
    const std::string before = ReadBytes(file_);
    TSettingsStore store(file_);
    ASSERT_TRUE(store.OpenKey("K", true));
    EXPECT_EQ(store.ReadText("", "N"), "v");
    store.CloseKey();
    EXPECT_EQ(ReadBytes(file_), before);
}

TEST_F(SettingsStoreTest, ABadLineIsSkippedAndEveryGoodValueKept) {
    const std::string header = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\K]\n";
    const std::string good = "\"Good\"=dword:0000002a\n";
    struct Case {
        const char* label;
        std::string bytes;
        size_t line;
    };
    const Case cases[] = {
        {"negative dword", header + "\"N\"=dword:-1\n" + good, 4},
        {"unterminated text", header + "\"N\"=\"v\n" + good, 4},
        {"dword too long", header + "\"N\"=dword:123456789\n" + good, 4},
        {"bad hex byte", header + "\"N\"=hex:01,zz\n" + good, 4},
        {"stray line", header + "N=v\n" + good, 4},
        {"no header", "[HKEY_CURRENT_USER\\K]\n" + good, 1},
        {"hex continues past the end", header + good + "\"N\"=hex:01,\\\n", 5},
    };
    for (const Case& c : cases) {
        for (const auto& entry : fs::directory_iterator(folder_)) fs::remove(entry.path());
        WriteBytes(c.bytes);
        TSettingsStore store(file_);
        ASSERT_TRUE(store.OpenKey("K", true)) << c.label;
        EXPECT_NE(store.LoadProblem().find(file_ + "' line " + std::to_string(c.line) + ": "),
                  std::string::npos)
            << c.label << ": " << store.LoadProblem();
        EXPECT_EQ(store.ReadNumber("", "Good"), 42) << c.label;
        EXPECT_EQ(store.ValueType("", "N"), TStoreValueType::Absent) << c.label;
        store.CloseKey();
        EXPECT_EQ(ReadBytes(file_), c.bytes) << c.label;  // reading alone changes nothing
        EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"Galerion.reg"})) << c.label;

        ASSERT_TRUE(store.OpenKey("K", true)) << c.label;
        store.WriteText("", "N", "new");
        store.CloseKey();
        EXPECT_EQ(store.BrokenFilePath(), file_ + ".broken") << c.label;
        EXPECT_EQ(ReadBytes(file_ + ".broken"), c.bytes) << c.label;
        TSettingsStore reread(file_);
        ASSERT_TRUE(reread.OpenKey("K", false)) << c.label;
        EXPECT_EQ(reread.LoadProblem(), "") << c.label;
        EXPECT_EQ(reread.ReadText("", "N"), "new") << c.label;
        EXPECT_EQ(reread.ReadNumber("", "Good"), 42) << c.label;
    }
}

TEST_F(SettingsStoreTest, ValuesOfAKeyLineThatCannotBeReadAreNotMovedToAnother) {
    WriteBytes(
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\K]\n\"A\"=\"a\"\n"
        "[HKEY_CURRENT_USER\\K\\bad\n\"B\"=\"b\"\n");
    TSettingsStore store(file_);
    ASSERT_TRUE(store.OpenKey("K", true));
    EXPECT_EQ(store.ReadText("", "A"), "a");
    EXPECT_EQ(store.ValueType("", "B"), TStoreValueType::Absent);
    EXPECT_NE(store.LoadProblem().find("line 5: a key line must end with ']' (and 1 more)"),
              std::string::npos)
        << store.LoadProblem();
}

TEST_F(SettingsStoreTest, AFileTooLargeIsReadAsEmptyAndKeptBeforeASave) {
    const std::string bytes =
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\K]\n\"N\"=\"" +
        std::string(1024 * 1024, 'x') + "\"\n";
    WriteBytes(bytes);
    TSettingsStore store(file_);
    ASSERT_TRUE(store.OpenKey("K", true));
    EXPECT_NE(store.LoadProblem().find("larger than 1 MiB"), std::string::npos);
    EXPECT_EQ(store.ValueType("", "N"), TStoreValueType::Absent);
    store.WriteText("", "N", "new");
    store.CloseKey();
    EXPECT_EQ(ReadBytes(file_ + ".broken"), bytes);
}

TEST_F(SettingsStoreTest, SomethingThatIsNoRegularFileIsAnErrorAndLeftAlone) {
    for (const char* kind : {"folder", "fifo"}) {
        fs::remove_all(file_);
        if (std::string(kind) == "folder")
            fs::create_directory(file_);
        else
            ASSERT_EQ(::mkfifo(file_.c_str(), 0600), 0);
        TSettingsStore store(file_);
        try {
            store.OpenKey("K", true);
            ADD_FAILURE() << kind << " was opened";
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find("'" + file_ + "' is not a regular file"),
                      std::string::npos)
                << e.what();
        }
        EXPECT_FALSE(store.IsOpen()) << kind;
        EXPECT_FALSE(fs::is_regular_file(file_)) << kind;
        EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"Galerion.reg"})) << kind;
    }
}

TEST_F(SettingsStoreTest, AnEarlierBrokenCopyIsNotOverwritten) {
    const auto saveOver = [&](const std::string& bytes) {
        WriteBytes(bytes);
        TSettingsStore store(file_);
        EXPECT_TRUE(store.OpenKey("K", true));
        store.WriteNumber("", "N", 1);
        store.CloseKey();
        return store.BrokenFilePath();
    };
    EXPECT_EQ(saveOver("first broken"), file_ + ".broken");
    EXPECT_EQ(saveOver("second broken"), file_ + ".broken.1");
    EXPECT_EQ(ReadBytes(file_ + ".broken"), "first broken");
    EXPECT_EQ(ReadBytes(file_ + ".broken.1"), "second broken");
}

TEST(SettingsStoreUnmovable, AFileWithProblemsThatCannotBeKeptIsNotWritten) {
    // A file on a read-only file system: not a settings file, and no copy can be made.
    TSettingsStore store("/proc/version");
    ASSERT_TRUE(store.OpenKey("K", true));
    EXPECT_NE(store.LoadProblem(), "");
    store.WriteNumber("", "N", 1);
    EXPECT_THROW(store.CloseKey(), FileError);
    EXPECT_FALSE(store.IsOpen());
}

TEST_F(SettingsStoreTest, TwoWritersDoNotLoseEachOthersUpdate) {
    {
        TSettingsStore store(file_);
        ASSERT_TRUE(store.OpenKey("K", true));
        store.WriteNumber("", "B", 0);
        store.CloseKey();
    }
    // Each writer saves every value it read, as a settings save does.
    TSettingsStore first(file_);
    std::thread second;
    std::atomic<bool> secondStarted{false};
    {
        TSettingsStore::TUpdateLock lock(first);
        ASSERT_TRUE(first.OpenKey("K", false));
        const std::int32_t seenB = first.ReadNumber("", "B");
        first.CloseKey();
        // The second writer reads and writes while the first one is between its read and write.
        second = std::thread([&] {
            secondStarted = true;
            TSettingsStore other(file_);
            TSettingsStore::TUpdateLock otherLock(other);
            other.OpenKey("K", false);
            other.WriteNumber("", "B", 2);
            other.CloseKey();
        });
        while (!secondStarted) std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_TRUE(first.OpenKey("K", false));
        first.WriteNumber("", "A", 1);
        first.WriteNumber("", "B", seenB);
        first.CloseKey();
    }
    second.join();
    TSettingsStore reread(file_);
    ASSERT_TRUE(reread.OpenKey("K", false));
    EXPECT_EQ(reread.ReadNumber("", "A"), 1);
    EXPECT_EQ(reread.ReadNumber("", "B"), 2);
}

TEST_F(SettingsStoreTest, ALinkedFileIsWrittenThroughItsLink) {
    const fs::path real = folder_ / "real.reg";
    {
        TSettingsStore store(real.string());
        ASSERT_TRUE(store.OpenKey("K", true));
    }
    fs::create_symlink(real, file_);
    TSettingsStore store(file_);
    ASSERT_TRUE(store.OpenKey("K", false));
    store.WriteNumber("", "N", 5);
    store.CloseKey();
    EXPECT_TRUE(fs::is_symlink(file_));
    EXPECT_NE(ReadBytes(real.string()).find("\"N\"=dword:00000005"), std::string::npos);
}

TEST_F(SettingsStoreTest, CreatesTheFolderOfTheFile) {
    const std::string nested = (folder_ / "Tarnwick" / "Galerion.reg").string();
    TSettingsStore store(nested);
    ASSERT_TRUE(store.OpenKey(kKey, true));
    store.CloseKey();
    EXPECT_TRUE(fs::is_regular_file(nested));
}

TEST_F(SettingsStoreTest, RefusesNamesThatCannotBeStored) {
    TSettingsStore store(file_);
    EXPECT_THROW(store.ReadNumber("", "N"), std::logic_error);  // no key open
    ASSERT_TRUE(store.OpenKey("K", true));
    EXPECT_THROW(store.WriteNumber("", "two\nlines", 1), ConvertError);
    EXPECT_THROW(store.WriteNumber("a\\\\b", "N", 1), ConvertError);
    EXPECT_THROW(store.OpenKey("-K", true), ConvertError);
}

TEST(SettingsStoreDefault, LivesInTheConfigFolder) {
    const std::string path = TSettingsStore::DefaultFilePath();
    EXPECT_NE(path.find("/Tarnwick/Galerion.reg"), std::string::npos);
}

}  // namespace
}  // namespace galerion
