// JSON values as expect compares them, and how script lines split into words.
#include "json.h"
#include "script.h"

#include <gtest/gtest.h>

using kel::script::CommandError;
using kel::script::Json;
using kel::script::ParseLine;
using kel::script::ResolvePath;

namespace {

Json Parsed(const char* text) {
    std::string error;
    auto value = Json::Parse(text, &error);
    EXPECT_TRUE(value.has_value()) << text << ": " << error;
    return value.value_or(Json());
}

TEST(Json, WritesCompactTextThatParsesBackToTheSameValue) {
    Json state = Json::MakeObject();
    state.Set("caption", Json("Say \"hi\"\\\n\x01"));
    state.Set("count", Json(-3));
    state.Set("ratio", Json(0.5));
    state.Set("flags", Json(Json::Array{Json(true), Json(false), Json()}));
    state.Set("frames", Json(4294967295u));
    const std::string text = state.Write();
    EXPECT_EQ("{\"caption\":\"Say \\\"hi\\\"\\\\\\n\\u0001\",\"count\":-3,\"ratio\":0.5,"
              "\"flags\":[true,false,null],\"frames\":4294967295}",
              text);
    EXPECT_EQ(state, Parsed(text.c_str()));
    // Setting a key again replaces it in place.
    state.Set("count", Json(7));
    EXPECT_EQ(7, ResolvePath(state, "count")->AsNumber());
    EXPECT_EQ(5u, state.AsObject().size());
}

TEST(Json, EqualityIgnoresKeyOrderAndNumberFormButNotTypes) {
    EXPECT_EQ(Parsed("{\"a\":1,\"b\":[2,3]}"), Parsed("{ \"b\" : [2, 3.0], \"a\" : 1e0 }"));
    EXPECT_NE(Parsed("[1,2]"), Parsed("[2,1]"));
    EXPECT_NE(Parsed("{\"a\":1}"), Parsed("{\"a\":1,\"b\":1}"));
    EXPECT_NE(Parsed("1"), Parsed("true"));
    EXPECT_NE(Parsed("null"), Parsed("0"));
    EXPECT_NE(Parsed("\"1\""), Parsed("1"));
    EXPECT_EQ(Parsed("\"\\u00e9\\ud83d\\ude00\""), Json("\xC3\xA9\xF0\x9F\x98\x80"));
}

TEST(Json, RefusesWhatIsNotStrictJson) {
    for (const char* bad : {"", "[1,]", "{\"a\" 1}", "{a:1}", "01", "1.", "-", "\"open", "[1] 2",
                            "tru", "\"tab\there\"", "\"\\x\"", "'single'"}) {
        std::string error;
        EXPECT_FALSE(Json::Parse(bad, &error).has_value()) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    // Nesting is bounded instead of recursing without end.
    EXPECT_FALSE(Json::Parse(std::string(100000, '[')).has_value());
}

TEST(Json, NumbersAndTextItCannotHoldAreRefusedOrReplaced) {
    // A number expect could only round into another value is refused.
    for (const char* bad :
         {"9223372036854775808", "-99999999999999999999", "1e400", "-1e400", "1e-400"}) {
        std::string error;
        EXPECT_FALSE(Json::Parse(bad, &error).has_value()) << bad;
        EXPECT_NE(error.find("range"), std::string::npos) << bad << ": " << error;
    }
    EXPECT_EQ(Parsed("-9223372036854775808"), Json(INT64_MIN));
    // A 64-bit count stays positive.
    EXPECT_EQ(Json(18446744073709551615ull).Write(), "1.8446744073709552e+19");
    // Broken UTF-8 in a name is written as U+FFFD, so the output stays JSON.
    const std::string written = Json("Cut\xC3 \xFF\xED\xA0\x80 ok \xE2\x82\xAC").Write();
    EXPECT_EQ(written, "\"Cut\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD ok "
                       "\xE2\x82\xAC\"");
    EXPECT_TRUE(Json::Parse(written).has_value());
}

TEST(Json, PathsWalkObjectsByKeyAndArraysByIndex) {
    const Json state = Parsed("{\"document\":{\"storyboards\":[{\"name\":\"News\"},"
                              "{\"containers\":[[{\"in\":5}]]}]},"
                              "\"buttons\":{\"1060\":{\"enabled\":true}}}");
    EXPECT_EQ(Json("News"), *ResolvePath(state, "document.storyboards.0.name"));
    EXPECT_EQ(Json(5), *ResolvePath(state, "document.storyboards.1.containers.0.0.in"));
    // A numeric key of an object is a key, not an index.
    EXPECT_EQ(Json(true), *ResolvePath(state, "buttons.1060.enabled"));

    std::string failed;
    EXPECT_EQ(nullptr, ResolvePath(state, "document.storyboards.2.name", &failed));
    EXPECT_EQ("document.storyboards.2", failed);
    EXPECT_EQ(nullptr, ResolvePath(state, "document.storyboards.-1", &failed));
    EXPECT_EQ(nullptr, ResolvePath(state, "document.storyboards.x", &failed));
    EXPECT_EQ(nullptr, ResolvePath(state, "document..storyboards", &failed));
    EXPECT_EQ("document.", failed);
    EXPECT_EQ(nullptr, ResolvePath(state, "document.storyboards.0.name.more", &failed));
}

TEST(ScriptLines, SplitIntoWordsWithQuotesAndComments) {
    const auto line = ParseLine("  piece group \"Lower Third\"\t8 50 8   # the sample's piece", 4);
    EXPECT_EQ(4, line.number);
    EXPECT_EQ((std::vector<std::string>{"piece", "group", "Lower Third", "8", "50", "8"}),
              line.words);
    EXPECT_TRUE(ParseLine("   # only a comment", 1).words.empty());
    EXPECT_TRUE(ParseLine("", 1).words.empty());
    // A '#' inside a word or inside quotes is text, not a comment.
    EXPECT_EQ((std::vector<std::string>{"storyboard", "No#1"}),
              ParseLine("storyboard No#1", 1).words);
    EXPECT_EQ((std::vector<std::string>{"deactivate", "Scene # 2"}),
              ParseLine("deactivate \"Scene # 2\" # why", 1).words);
    EXPECT_THROW(ParseLine("storyboard \"unfinished", 1), CommandError);
}

TEST(ScriptLines, RestKeepsTheRawValueOfExpect) {
    const auto line = ParseLine("expect  view.client   [0, 0, 996, 275]   # the view", 1);
    EXPECT_EQ("[0, 0, 996, 275]", line.Rest(2));
    const auto quoted = ParseLine("expect caption \"--Scene  # 1\"", 1);
    EXPECT_EQ("\"--Scene  # 1\"", quoted.Rest(2));
    EXPECT_EQ("", quoted.Rest(5));
}

TEST(ScriptLines, NumbersAreWholeAndInRange) {
    EXPECT_EQ(42, kel::script::ParseInteger("42", "N", 0, 100));
    EXPECT_EQ(-5, kel::script::ParseInteger("-5", "N", -10, 100));
    EXPECT_EQ(7, kel::script::ParseInteger("+7", "N", 0, 100));
    for (const char* bad : {"", "4x", "1.5", "0x10", "101", "-11", "99999999999999999999"}) {
        EXPECT_THROW(kel::script::ParseInteger(bad, "N", -10, 100), CommandError) << bad;
    }
    EXPECT_DOUBLE_EQ(29.97, kel::script::ParseReal("29.97", "RATE"));
    EXPECT_THROW(kel::script::ParseReal("nan", "RATE"), CommandError);
    EXPECT_THROW(kel::script::ParseReal("25fps", "RATE"), CommandError);
}

} // namespace
