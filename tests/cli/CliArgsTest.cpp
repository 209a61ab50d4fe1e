#include "cli/CliArgs.h"
#include "cli/CliText.h"
#include "cli/JsonWriter.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

const std::vector<CLIOPTION> kOptions = {
    {"user", 'u', "USER", ""}, {"json", 0, nullptr, ""},       {"recursive", 'R', nullptr, ""},
    {"field", 0, "N=V", ""},   {"masked-field", 0, "N=V", ""}, {"help", 'h', nullptr, ""},
};

CCliArgs Parse(const std::vector<std::string>& words) {
    CCliArgs args;
    std::string error;
    EXPECT_TRUE(args.Parse(words, kOptions, error)) << error;
    return args;
}

std::string ParseError(const std::vector<std::string>& words) {
    CCliArgs args;
    std::string error;
    EXPECT_FALSE(args.Parse(words, kOptions, error));
    return error;
}

} // namespace

TEST(CliArgs, OptionsMayStandAnywhereAmongPositionals) {
    const CCliArgs args = Parse({"v.tpx", "-u", "erin", "folder", "--json"});
    EXPECT_EQ(args.Positionals(), (std::vector<std::string>{"v.tpx", "folder"}));
    EXPECT_EQ(args.Get("user"), "erin");
    EXPECT_TRUE(args.Has("json"));
    EXPECT_FALSE(args.Has("recursive"));
}

TEST(CliArgs, ValueFormsAndBundledFlags) {
    EXPECT_EQ(Parse({"--user=erin"}).Get("user"), "erin");
    EXPECT_EQ(Parse({"--user", "--json"}).Get("user"), "--json");
    EXPECT_EQ(Parse({"-uerin"}).Get("user"), "erin");
    EXPECT_EQ(Parse({"--user="}).Get("user", "x"), "");
    const CCliArgs bundle = Parse({"-Rhuerin"});
    EXPECT_TRUE(bundle.Has("recursive"));
    EXPECT_TRUE(bundle.Has("help"));
    EXPECT_EQ(bundle.Get("user"), "erin");
}

TEST(CliArgs, DoubleDashAndLoneDashArePositional) {
    const CCliArgs args = Parse({"--", "-u", "--json", "-"});
    EXPECT_EQ(args.Positionals(), (std::vector<std::string>{"-u", "--json", "-"}));
    EXPECT_FALSE(args.Has("user"));
    EXPECT_EQ(Parse({"-"}).Positionals(), std::vector<std::string>{"-"});
}

TEST(CliArgs, RepeatedOptionsKeepTheirOrder) {
    const CCliArgs args = Parse({"--field", "a=1", "--masked-field", "b=2", "--field=c=3"});
    EXPECT_EQ(args.GetAll("field"), (std::vector<std::string>{"a=1", "c=3"}));
    EXPECT_EQ(args.Get("field"), "c=3");
    ASSERT_EQ(args.Occurrences().size(), 3u);
    EXPECT_EQ(args.Occurrences()[1].first, "masked-field");
    EXPECT_EQ(args.Occurrences()[1].second, "b=2");
}

TEST(CliArgs, MistakesAreNamed) {
    EXPECT_NE(ParseError({"--colour"}).find("--colour"), std::string::npos);
    EXPECT_NE(ParseError({"-x"}).find("-x"), std::string::npos);
    EXPECT_NE(ParseError({"--user"}).find("needs a value"), std::string::npos);
    EXPECT_NE(ParseError({"-u"}).find("needs a value"), std::string::npos);
    EXPECT_NE(ParseError({"--json=1"}).find("takes no value"), std::string::npos);
}

TEST(CliText, FileTimesAsUtcText) {
    EXPECT_EQ(FileTimeUtcText(0), "1601-01-01T00:00:00.0000000Z");
    EXPECT_EQ(FileTimeUtcText(116444736000000000ULL), "1970-01-01T00:00:00.0000000Z");
    // A leap day and the last tick of a century year that is no leap year.
    EXPECT_EQ(FileTimeUtcText(133565229012345678ULL), "2024-04-02T09:15:01.2345678Z");
    EXPECT_EQ(FileTimeUtcText(116444736000000000ULL + 951782400ULL * 10000000ULL),
              "2000-02-29T00:00:00.0000000Z");
    EXPECT_EQ(FileTimeUtcText(116444736000000000ULL - 2208988800ULL * 10000000ULL - 1),
              "1899-12-31T23:59:59.9999999Z");
    EXPECT_EQ(FileTimeHex(133565229012345678ULL), "4ee39f3dde84da01");
}

TEST(CliText, TextConversions) {
    EXPECT_EQ(DisplayText("Caf\xe9"), "Caf\xc3\xa9");
    EXPECT_EQ(DisplayText("Caf\xc3\xa9"), "Caf\xc3\xa9");
    EXPECT_EQ(HexText(std::string("\x00\xff\x10", 3)), "00ff10");
    EXPECT_EQ(Sha256Text(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    std::string name, value;
    EXPECT_TRUE(SplitAssignment("PIN=12=34", name, value));
    EXPECT_EQ(name, "PIN");
    EXPECT_EQ(value, "12=34");
    EXPECT_FALSE(SplitAssignment("=x", name, value));
    EXPECT_FALSE(SplitAssignment("x", name, value));
    long long n = 0;
    EXPECT_TRUE(ParseInteger("+42", n));
    EXPECT_EQ(n, 42);
    EXPECT_FALSE(ParseInteger("4x", n));
    EXPECT_FALSE(ParseInteger("", n));
    EXPECT_FALSE(ParseInteger("99999999999999999999", n));
}

TEST(JsonWriter, LayoutAndEscapes) {
    std::ostringstream out;
    CJsonWriter json(out);
    json.BeginObject();
    json.Field("a", 1);
    json.Key("empty");
    json.BeginArray();
    json.EndArray();
    json.Key("list");
    json.BeginArray();
    json.Bool(true);
    json.Null();
    json.EndArray();
    json.Key("latin1");
    json.Latin1("\xe9\"\\\n\x01");
    json.Field("utf8", "\xe2\x82\xac\xf0\x9f\x98\x80");
    json.Key("none");
    json.BeginObject();
    json.EndObject();
    json.EndObject();
    json.Finish();
    EXPECT_EQ(out.str(), "{\n \"a\": 1,\n \"empty\": [],\n \"list\": [\n  true,\n  null\n ],\n"
                         " \"latin1\": \"\\u00e9\\\"\\\\\\n\\u0001\",\n"
                         " \"utf8\": \"\\u20ac\\ud83d\\ude00\",\n \"none\": {}\n}\n");
}
