// Every test of the build, as CTest sees it, fails within two minutes when it hangs: none runs
// without a timeout or with a longer one, so a deadlock cannot hold a run up.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Output(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

// The text of the quoted value after `key` at or after `from`, or "".
std::string QuotedAfter(const std::string& s, const std::string& key, size_t from) {
    size_t at = s.find(key, from);
    if (at == std::string::npos) return "";
    at = s.find('"', s.find(':', at + key.size()) + 1);
    const size_t end = s.find('"', at + 1);
    return at == std::string::npos || end == std::string::npos ? "" : s.substr(at + 1, end - at - 1);
}

struct Listed {
    std::string name;
    double timeout;  // 0 when the test has none
};

// The tests of CTest's JSON listing with their TIMEOUT properties.
std::vector<Listed> ListTests(const std::string& json) {
    std::vector<Listed> tests;
    const std::string start = "\"command\"";
    for (size_t at = json.find(start); at != std::string::npos;) {
        const size_t next = json.find(start, at + start.size());
        const std::string one = json.substr(at, next == std::string::npos ? std::string::npos : next - at);
        Listed t{QuotedAfter(one, "\"name\"", one.find(']')), 0};
        const size_t timeout = one.find("\"TIMEOUT\"");
        if (timeout != std::string::npos) {
            const size_t value = one.find(':', one.find("\"value\"", timeout));
            t.timeout = std::atof(one.c_str() + value + 1);
        }
        tests.push_back(t);
        at = next;
    }
    return tests;
}

TEST(TestTimeouts, EveryTestOfTheBuildGivesUpWithinTwoMinutes) {
    const std::string json =
        Output("'" VELMORA_CTEST "' --test-dir '" VELMORA_BUILD_DIR "' --show-only=json-v1 2>/dev/null");
    const std::vector<Listed> tests = ListTests(json);
    // The whole suite is listed, this test among it.
    ASSERT_GT(tests.size(), 100u) << json.substr(0, 400);
    int bad = 0;
    for (const Listed& t : tests) {
        if (t.timeout > 0 && t.timeout <= 120) continue;
        if (++bad <= 10) ADD_FAILURE() << t.name << ": timeout " << t.timeout << " s";
    }
    EXPECT_EQ(bad, 0);
}

}  // namespace
