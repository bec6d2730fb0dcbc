#include "config/services_file.h"
#include "server/services_file.h"

#include <gtest/gtest.h>

namespace quenmark::server {
namespace {

TEST(ServicesFile, TheBuiltInFileReads)
{
    ServicesFile services;
    std::string error;
    ASSERT_TRUE(parse_services(config::services_file, "built-in", services, error)) << error;
    for (int n = 1; n <= 6; ++n)
        EXPECT_EQ(services.services[static_cast<std::size_t>(n - 1)].number, n);
    EXPECT_GT(services.services[2].port(), 0);
}

TEST(ServicesFile, MistakesAreNamed)
{
    const std::string row2to6 = R"({"number": 2, "host": "h:2", "target_code": "t", "failure_tag": "b", "caption": "c"},
        {"number": 3, "host": "h:3", "failure_tag": "c", "caption": "c"},
        {"number": 4, "host": "h:4", "target_code": "t", "failure_tag": "d", "caption": "c"},
        {"number": 5, "host": "h:5", "failure_tag": "e", "caption": "c"},
        {"number": 6, "host": "h:6", "failure_tag": "f", "caption": "c"})";
    const std::string good1 =
        R"({"number": 1, "host": "h:1", "target_code": "t", "failure_tag": "a", "caption": "c", "tooltip_domains": ["x", "y"]})";
    struct Case {
        std::string json;
        std::string says;
    };
    const Case cases[] = {
        {"not json", "not a JSON object"},
        {R"({"services": [)" + row2to6 + "]}", "all six services"},
        {R"({"services": [)" + good1 + "," + good1 + "]}", "each once"},
        {R"({"services": [{"number": 1, "host": "h:1", "failure_tag": "a b", "caption": "c"}]})", "letters and underscores"},
        {R"({"services": [{"number": 1, "host": "h:1", "failure_tag": "a", "caption": "c"}]})", "target_code"},
        {R"({"services": [{"number": 1, "host": "h:99999", "failure_tag": "a", "caption": "c"}]})", "host"},
    };
    for (const auto& c : cases) {
        ServicesFile services;
        std::string error;
        EXPECT_FALSE(parse_services(c.json, "f.json", services, error)) << c.json;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
    ServicesFile services;
    std::string error;
    EXPECT_TRUE(parse_services(R"({"services": [)" + good1 + "," + row2to6 + "]}", "f.json", services, error)) << error;
}

} // namespace
} // namespace quenmark::server
