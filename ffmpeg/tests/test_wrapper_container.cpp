// The argument container, the input script and locale-independent number formatting.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "AvsScript.h"
#include "EngineFormat.h"
#include "ParamContainer.h"
#include "e2e_support.h"
#include "testmedia.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

TEST(ParamContainer, AddSkipsEmptyTextsAndKeepsSlotZeroUnset) {
    CParamContainer c;
    EXPECT_EQ(1, c.GetCount());
    EXPECT_EQ(nullptr, c.GetSlots()[0]);
    EXPECT_EQ(nullptr, c.GetSlots()[1]);

    c.Add("-an", "");
    EXPECT_EQ(2, c.GetCount());
    c.Add("", "");
    c.Add(nullptr, nullptr);
    EXPECT_EQ(2, c.GetCount());
    c.Add("", "value");  // an empty first text does not stop the second
    c.Add("-s", "320x240");
    ASSERT_EQ(5, c.GetCount());
    EXPECT_STREQ("-an", c.GetSlots()[1]);
    EXPECT_STREQ("value", c.GetSlots()[2]);
    EXPECT_STREQ("-s", c.GetSlots()[3]);
    EXPECT_STREQ("320x240", c.GetSlots()[4]);
    EXPECT_EQ(nullptr, c.GetSlots()[5]) << "the vector is null-terminated for the driver";
    EXPECT_EQ(nullptr, c.GetSlots()[0]);
}

TEST(ParamContainer, ArgumentsAreCopiesAndResetStartsOver) {
    CParamContainer c;
    char text[] = "first";
    c.Add(text, "");
    std::strcpy(text, "xxxxx");
    EXPECT_STREQ("first", c.GetArg(1));

    c.Reset();
    EXPECT_EQ(1, c.GetCount());
    EXPECT_EQ(nullptr, c.GetArg(1));
    c.Add("again", "");
    EXPECT_EQ(2, c.GetCount());
    EXPECT_STREQ("again", c.GetSlots()[1]);
    EXPECT_FALSE(c.Overflowed());
}

TEST(ParamContainer, ArgumentsLongerThanABlockAreKeptWhole) {
    CParamContainer c;
    const std::string exact(255, 'a');       // fills a 256-byte block
    const std::string longer(300, 'b');      // a deep output path
    const std::string huge(5000, 'c');
    c.Add(exact.c_str(), longer.c_str());
    c.Add(huge.c_str(), "");
    ASSERT_EQ(4, c.GetCount());
    EXPECT_EQ(exact, c.GetArg(1));
    EXPECT_EQ(longer, c.GetArg(2));
    EXPECT_EQ(huge, c.GetArg(3));
    EXPECT_FALSE(c.Overflowed());
}

TEST(ParamContainer, NinetyNineArgumentsFitAndTheHundredthIsRefused) {
    CParamContainer c;
    for (int i = 1; i <= 99; ++i) c.Add(std::to_string(i).c_str(), "");
    EXPECT_EQ(100, c.GetCount());
    EXPECT_FALSE(c.Overflowed());
    EXPECT_STREQ("99", c.GetArg(99));

    c.Add("100", "101");
    EXPECT_EQ(100, c.GetCount()) << "never written past the last slot";
    EXPECT_TRUE(c.Overflowed()) << "an incomplete vector must be reported";
    EXPECT_EQ(nullptr, c.GetSlots()[100]);

    c.Reset();
    EXPECT_FALSE(c.Overflowed());
    c.Add("98", "99");  // pairs near the end: the second of a pair that does not fit
    EXPECT_EQ(3, c.GetCount());
}

TEST(ParamContainer, PairStraddlingTheLimitMarksOverflow) {
    CParamContainer c;
    for (int i = 1; i <= 98; ++i) c.Add("x", "");
    c.Add("-last", "value");
    EXPECT_EQ(100, c.GetCount());
    EXPECT_STREQ("-last", c.GetArg(99));
    EXPECT_TRUE(c.Overflowed());
}

TEST(AvsScript, ExtensionsAndNamesSplitAtEitherSeparator) {
    EXPECT_EQ(".avi", PathExtension("/v/clip.part1.avi"));
    EXPECT_EQ("", PathExtension("/v.d/noext"));
    EXPECT_EQ(".WMV", PathExtension("C:\\v\\a.WMV"));
    EXPECT_EQ("clip.part1.avi", PathFileName("/v/clip.part1.avi"));
    EXPECT_EQ("a.WMV", PathFileName("C:\\v\\a.WMV"));
    EXPECT_EQ("plain", PathFileName("plain"));
}

TEST(AvsScript, ScriptBytesPerExtensionClass) {
    testmedia::ScratchDir dir("avs");
    const std::string script = dir / "input.avs";
    struct Case {
        const char* input;
        const char* sourceLine;
    } cases[] = {
        {"/v/a.WMV", "DirectShowSource(\"/v/a.WMV\", fps=23.976, convertfps=true )"},
        {"/v/a.rmvb", "DirectShowSource(\"/v/a.rmvb\", fps=23.976, convertfps=true )"},
        {"/v/a.Asf", "DirectShowSource(\"/v/a.Asf\", fps=23.976, convertfps=true )"},
        {"/v/a.rm", "DirectShowSource(\"/v/a.rm\", fps=23.976, convertfps=true )"},
        {"/v/a.Mp4", "DirectShowSource(\"/v/a.Mp4\", fps=23.976, convertfps=false )"},
        {"/v/noext", "DirectShowSource(\"/v/noext\")"},
        {"/v/a.mkv", "DirectShowSource(\"/v/a.mkv\")"},
        {"/v/a.mpeg", "DirectShowSource(\"/v/a.mpeg\")"},
        {"/v.x/a", "DirectShowSource(\"/v.x/a\")"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_TRUE(AvsScriptNeeded(c.input));
        ASSERT_EQ(1, WriteAvsScriptFile(script, c.input));
        std::string expected = std::string("LoadPlugin(\"directshowsource.dll\")\r\n") + c.sourceLine +
                               "\r\nreturn last";
        EXPECT_EQ(expected, ReadFile(script));
    }
}

TEST(AvsScript, DirectKindsWriteNothingAndLeaveAnEarlierScript) {
    testmedia::ScratchDir dir("avs");
    const std::string script = dir / "input.avs";
    WriteFile(script, "earlier");
    for (const char* input : {"/v/a.avi", "/v/a.H264", "/v/a.swf", "/v/a.flv", "/v/a.m4v", "/v/a.h261",
                              "/v/a.h263", "/v/a.MPG", "/v/a.3gp"}) {
        SCOPED_TRACE(input);
        EXPECT_FALSE(AvsScriptNeeded(input));
        EXPECT_EQ(0, WriteAvsScriptFile(script, input));
    }
    EXPECT_EQ("earlier", ReadFile(script));
}

TEST(AvsScript, UnwritableScriptFailsAndLeavesNoStaleScript) {
    testmedia::ScratchDir dir("avs");
    // A folder that cannot exist, whoever runs the test: its parent is a plain file.
    WriteFile(dir / "file", "x");
    EXPECT_EQ(-1, WriteAvsScriptFile(dir / "file/input.avs", "/v/a.wmv"));

    // A script path that is a folder cannot be written either.
    ASSERT_EQ(0, mkdir((dir / "input.avs").c_str(), 0755));
    EXPECT_EQ(-1, WriteAvsScriptFile(dir / "input.avs", "/v/a.wmv"));
}

TEST(AvsScript, NamesThatWouldBreakTheQuotedPathAreRefused) {
    testmedia::ScratchDir dir("avs");
    const std::string script = dir / "input.avs";
    ASSERT_EQ(1, WriteAvsScriptFile(script, "/v/good.mkv"));
    EXPECT_EQ(-1, WriteAvsScriptFile(script, "/v/a\")\r\nImport(\"evil.avs.mkv"));
    EXPECT_FALSE(Exists(script)) << "the earlier input's script must not be left for the driver";
    for (const char* name : {"/v/line\nbreak.mkv", "/v/a\"\"\")Import(\"\"\"evil.mkv", "/v/ends in a quote\""}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(AvsScriptCanQuote(name));
        EXPECT_EQ(-1, WriteAvsScriptFile(script, name));
    }
}

TEST(AvsScript, NamesWithDoubleQuotesGoInATripleQuotedString) {
    testmedia::ScratchDir dir("avs");
    const std::string script = dir / "input.avs";
    ASSERT_EQ(1, WriteAvsScriptFile(script, "/v/say \"cheese\".wmv"));
    EXPECT_EQ("LoadPlugin(\"directshowsource.dll\")\r\n"
              "DirectShowSource(\"\"\"/v/say \"cheese\".wmv\"\"\", fps=23.976, convertfps=true )\r\n"
              "return last",
              ReadFile(script));
    ASSERT_EQ(1, WriteAvsScriptFile(script, "/v/\"\"two\"\" x.mkv"));
    EXPECT_NE(ReadFile(script).find("DirectShowSource(\"\"\"/v/\"\"two\"\" x.mkv\"\"\")"), std::string::npos);
}

TEST(AvsScript, WaitForABusyScriptIsBoundedAndEndsAtAStop) {
    testmedia::ScratchDir dir("avs");
    const std::string script = dir / "input.avs";
    AvsScriptLock holder;
    ASSERT_EQ(AvsScriptLock::Locked, holder.Acquire(script));

    AvsScriptLock waiter;
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(AvsScriptLock::TimedOut, waiter.Acquire(script, 100));
    EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(100));
    EXPECT_EQ(AvsScriptLock::Stopped, waiter.Acquire(script, 60000, [] { return 1; }));
    EXPECT_FALSE(waiter.Held());
    EXPECT_EQ(-2, WriteAvsScriptFile(script, "/v/b.wmv", nullptr, [] { return 1; }));
    EXPECT_TRUE(Exists(script)) << "the holder's script is its own";

    holder.Release();
    EXPECT_EQ(AvsScriptLock::Locked, waiter.Acquire(script, 100));
}

TEST(EngineFormat, NumbersIgnoreTheNumericLocaleAndNeverOverrun) {
    testmedia::ScratchDir dir("locale");
    {
        e2e::CommaLocale locale(dir.path());
        if (locale.active()) {
            EXPECT_EQ("23.976000", FormatStringC("%f", 23.976));
            char buf[20];
            FormatC(buf, sizeof buf, "%5.2f fps", 25.0);
            EXPECT_STREQ("25.00 fps", buf);
        }
    }
    char small[8];
    EXPECT_EQ(14, FormatC(small, sizeof small, "%s", "truncated text"));
    EXPECT_STREQ("truncat", small);
    const std::string big(3000, 'p');
    EXPECT_EQ(big + "/1.5", FormatStringC("%s/%.1f", big.c_str(), 1.5));
}

}  // namespace
