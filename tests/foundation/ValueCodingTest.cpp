#include "foundation/Base64.h"
#include "foundation/PropertyList.h"
#include "foundation/ValueJson.h"

#include <gtest/gtest.h>

using namespace tidemark;

namespace {

Value sample() {
    return Value(ValueDictionary{
        {"int", Value(-42)},
        {"big", Value(std::int64_t{1} << 40)},
        {"real", Value(0.25)},
        {"flag", Value(true)},
        {"text", Value("Grüße ✓")},
        {"data", Value(ByteString{0, 1, 2, 255})},
        {"list", Value(ValueArray{Value(1), Value("two"), Value(ValueDictionary{})})},
    });
}

} // namespace

TEST(Base64, RoundTripsAndRejectsGarbage) {
    for (const ByteString& bytes : {ByteString{}, ByteString{1}, ByteString{1, 2},
                                    ByteString{1, 2, 3}, ByteString{0xff, 0xee, 0xdd, 0xcc}}) {
        EXPECT_EQ(base64::decode(base64::encode(bytes)), bytes);
    }
    EXPECT_EQ(base64::encode(ByteString{'M', 'a'}), "TWE=");
    EXPECT_FALSE(base64::decode("TWE"));
    EXPECT_FALSE(base64::decode("T=WE"));
    EXPECT_FALSE(base64::decode("TW!="));
}

TEST(PropertyList, BinaryAndXmlRoundTripEveryKind) {
    const Value value = sample();
    const auto binary = plist::encodeBinary(value);
    ASSERT_TRUE(binary);
    EXPECT_EQ(plist::decode(*binary), value);
    const auto xml = plist::encodeXml(value);
    ASSERT_TRUE(xml);
    EXPECT_EQ(plist::decode(*xml), value);
}

TEST(PropertyList, NullCannotBeEncodedAndGarbageCannotBeDecoded) {
    EXPECT_FALSE(plist::encodeBinary(Value(ValueArray{Value()})));
    EXPECT_FALSE(plist::decode(std::string_view("not a plist")));
    EXPECT_FALSE(plist::decode(std::string_view("bplist00\x01\x02", 10)));
    EXPECT_FALSE(plist::decode(std::string_view()));
    // {"é\0b": 1} in binary form, the key in UTF-16: no key of ours holds a NUL (this used
    // to abort).
    EXPECT_FALSE(plist::decode(std::string_view(
        "bplist00\xd1\x01\x02\x63\x00\xe9\x00\x00\x00\x62\x10\x01\x08\x0b\x12\x00\x00"
        "\x00\x00\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00\x00\x00"
        "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x14",
        55)));
}

TEST(PropertyList, TextFromAFileIsReadAsTextEveryEncoderWritesBackUnchanged) {
    using namespace std::string_literals;
    const auto xmlDictionary = [](std::string_view key, std::string_view text) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict><key>"s +
               std::string(key) + "</key><string>" + std::string(text) + "</string></dict></plist>";
    };
    const struct {
        const char* name;
        std::string file;
        Value expected;
    } cases[] = {
        // ["a\0b"] in binary form: the string ends at the NUL (this used to abort).
        {"NUL inside a binary string",
         "bplist00\xa1\x01\x53\x61\x00\x62\x08\x0a\x00\x00\x00\x00\x00\x00\x01\x01"
         "\x00\x00\x00\x00\x00\x00\x00\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
         "\x00\x00\x00\x00\x00\x0e"s,
         Value(ValueArray{Value("a")})},
        {"invalid UTF-8 in a key", xmlDictionary("d\xa0isplay", "x"),
         Value(ValueDictionary{{"d\xef\xbf\xbdisplay", Value("x")}})},
        {"invalid UTF-8 in a string", xmlDictionary("k", "caf\xe9"),
         Value(ValueDictionary{{"k", Value("caf\xef\xbf\xbd")}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto decoded = plist::decode(c.file);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*decoded, c.expected);
        // Rewriting the file, or the names blob in binary form, keeps every key and string.
        EXPECT_EQ(plist::decode(*plist::encodeXml(*decoded)), decoded);
        EXPECT_EQ(plist::decode(*plist::encodeBinary(*decoded)), decoded);
        EXPECT_NO_THROW((void)jsonFromValue(*decoded).dump());
    }
}

TEST(ValueJson, MapsNumbersAndDataAsTheScenarioFormatSays) {
    const auto json = nlohmann::json::parse(
        R"({"i": 3, "r": 3.0, "e": 1e2, "d": {"$data": "AAH/"}, "n": null, "o": {"$data": 1}})");
    const Value value = valueFromJson(json);
    EXPECT_EQ(value.find("i")->kind(), Value::Kind::Integer);
    EXPECT_EQ(value.find("r")->kind(), Value::Kind::Real);
    EXPECT_EQ(value.find("e")->kind(), Value::Kind::Real);
    EXPECT_EQ(*value.find("d"), Value(ByteString{0, 1, 255}));
    EXPECT_TRUE(value.find("n")->isNull());
    // "$data" that is not a string is an ordinary dictionary.
    EXPECT_EQ(value.find("o")->kind(), Value::Kind::Dictionary);
    EXPECT_THROW(valueFromJson(nlohmann::json::parse(R"({"$data": "%%"})")), std::invalid_argument);
    EXPECT_EQ(valueFromJson(jsonFromValue(sample())), sample());
}

namespace {

std::string nested(const char* open, const char* close, int depth, const char* inner = "") {
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += open;
    text += inner;
    for (int i = 0; i < depth; ++i)
        text += close;
    return text;
}

} // namespace

TEST(ValueJson, RefusesWhatItCannotHoldAndNamesTheMember) {
    struct Case {
        std::string json;
        std::string member;
        std::string reason;
    };
    const std::vector<Case> cases{
        {R"({"displayStyle": 1e400})", "displayStyle", "number overflow"},
        {R"([1, [2, -1e400]])", "[1][1]", "number overflow"},
        {R"({"a": {"b": [0, 1, 1e999]}})", "a.b[2]", "number overflow"},
        {nested("[", "]", 5000), nested("[0]", "", 512), "nested deeper than 512"},
        {nested("{\"k\":", "}", 600, "1"), "k" + nested(".k", "", 511), "nested deeper"},
        {R"({"a": tru})", "a", "syntax error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json.substr(0, 60));
        try {
            parseJson(c.json);
            ADD_FAILURE() << "accepted";
        } catch (const JsonError& e) {
            EXPECT_EQ(e.member(), c.member);
            EXPECT_NE(e.reason().find(c.reason), std::string::npos) << e.reason();
        }
    }
    // Just inside the bound still parses, and converts.
    EXPECT_EQ(valueFromJson(parseJson(nested("[", "]", 512))).kind(), Value::Kind::Array);
    // Deep documents built some other way are refused by the conversion too.
    nlohmann::json deep = nlohmann::json::array();
    for (int i = 0; i < 600; ++i)
        deep = nlohmann::json::array({std::move(deep)});
    EXPECT_THROW(valueFromJson(deep), std::invalid_argument);
    // "$data" stands for bytes only on its own.
    EXPECT_THROW(valueFromJson(parseJson(R"({"$data": "AAH/", "other": 1})")),
                 std::invalid_argument);
}

// A long array of objects reads whole, in order, and a fault in its last element is named
// by that element's index. (bench/scenario_load_bench measures how the time grows.)
TEST(ValueJson, ReadsALongArrayOfObjectsWholeAndNamesItsLastElement) {
    constexpr int kCount = 50'000;
    std::string text = "[";
    for (int i = 0; i < kCount; ++i)
        text += (i ? "," : "") + std::string("{\"id\": ") + std::to_string(i) + ", \"tags\": []}";
    const auto value = valueFromJson(parseJson(text + "]"));
    const auto spaces =
        value.asArrayOfDictionaries().value_or(std::vector<const ValueDictionary*>{});
    ASSERT_EQ(spaces.size(), std::size_t(kCount));
    for (const int i : {0, 1, kCount / 2, kCount - 1})
        EXPECT_EQ(findIn(*spaces[std::size_t(i)], "id")->asInteger(), i);
    try {
        parseJson(text + R"(, {"id": tru}])");
        ADD_FAILURE() << "accepted";
    } catch (const JsonError& e) {
        EXPECT_EQ(e.member(), "[" + std::to_string(kCount) + "].id");
    }
}

TEST(PropertyList, DecodingRefusesDepthAndHalfEntriesAndEncodingRefusesWhatItWouldLose) {
    const auto document = [](const std::string& body) {
        return "<?xml version=\"1.0\"?><plist version=\"1.0\">" + body + "</plist>";
    };
    EXPECT_TRUE(plist::decode(document(nested("<array>", "</array>", 512))));
    EXPECT_FALSE(plist::decode(document(nested("<array>", "</array>", 513))));
    EXPECT_FALSE(plist::decode(document(nested("<array>", "</array>", 10000))));
    EXPECT_FALSE(
        plist::decode(document("<dict><key>a</key><integer>1</integer><key>b</key></dict>")));
    EXPECT_FALSE(plist::decode(document("<dict><integer>1</integer></dict>")));

    const std::vector<std::pair<Value, std::string>> unencodable{
        {Value(ValueArray{Value(1), Value()}), "null at [1]"},
        {Value(std::string("a\0b", 3)), "text with a NUL character"},
        {Value(ValueDictionary{{"k", Value(ValueArray{Value(std::string("\0", 1))})}}),
         "text with a NUL character at .k[0]"},
    };
    for (const auto& [value, why] : unencodable) {
        const auto found = plist::unencodablePart(value);
        ASSERT_TRUE(found) << why;
        EXPECT_NE(found->find(why), std::string::npos) << *found;
        EXPECT_FALSE(plist::encodeXml(value)) << why;
    }
    EXPECT_FALSE(plist::unencodablePart(sample()));
}

TEST(PropertyList, ChangingOneKeyKeepsTheRestOfTheTextAsWritten) {
    struct Case {
        const char* name;
        std::string document;
        const char* key;
        std::optional<Value> value;
        std::string expected;
    };
    const std::string head = "<?xml version=\"1.0\"?>\n<plist version=\"1.0\">\n";
    const std::vector<Case> cases{
        {"replace in the middle",
         head +
             "<dict>\n\t<key>a</key>\n\t<date>1900-01-01T00:00:00Z</date>\n\t<key>b</key>\n"
             "\t<integer>1</integer>\n\t<key>c</key>\n\t<integer>99999999999999999999</integer>\n"
             "</dict>\n</plist>\n",
         "b", Value(2),
         head +
             "<dict>\n\t<key>a</key>\n\t<date>1900-01-01T00:00:00Z</date>\n\t<key>b</key>\n"
             "\t<integer>2</integer>\n\t<key>c</key>\n\t<integer>99999999999999999999</integer>\n"
             "</dict>\n</plist>\n"},
        {"remove",
         head +
             "<dict>\n\t<key>a</key>\n\t<true/>\n\t<key>b</key>\n\t<false/>\n</dict>\n</plist>\n",
         "a", std::nullopt, head + "<dict>\n\t<key>b</key>\n\t<false/>\n</dict>\n</plist>\n"},
        {"add to an empty dictionary", head + "<dict/>\n</plist>\n", "a", Value(true),
         head + "<dict>\n\t<key>a</key>\n\t<true/>\n</dict>\n</plist>\n"},
        {"add to a one-line dictionary",
         head + "<dict><key>z</key><array><integer>1</integer></array></dict></plist>", "a",
         Value(1),
         head + "<dict><key>z</key><array><integer>1</integer></array>\t<key>a</key>\n"
                "\t<integer>1</integer>\n</dict></plist>"},
        {"a repeated key keeps one entry",
         head + "<dict>\n\t<key>a</key>\n\t<integer>1</integer>\n\t<key>a</key>\n"
                "\t<integer>2</integer>\n</dict>\n</plist>\n",
         "a", Value(3),
         head + "<dict>\n\t<key>a</key>\n\t<integer>3</integer>\n</dict>\n</plist>\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto edited = plist::withKey(c.document, c.key, c.value ? &*c.value : nullptr);
        ASSERT_TRUE(edited);
        EXPECT_EQ(*edited, c.expected);
    }
    EXPECT_FALSE(plist::withKey(head + "<array/></plist>", "a", nullptr));
    const Value one(1);
    EXPECT_EQ(plist::decode(*plist::withKey("", "a", &one)), Value(ValueDictionary{{"a", one}}));
}
