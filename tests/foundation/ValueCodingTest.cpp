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
