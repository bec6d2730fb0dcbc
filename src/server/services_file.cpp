#include "server/services_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace quenmark::server {
namespace {

using nlohmann::json;

bool is_tag(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    });
}

std::string text_member(const json& row, const char* name)
{
    const auto found = row.find(name);
    return found != row.end() && found->is_string() ? found->get<std::string>() : std::string();
}

} // namespace

int ServiceEndpoint::port() const
{
    const std::size_t colon = host.rfind(':');
    if (colon == std::string::npos)
        return 443;
    const std::string digits = host.substr(colon + 1);
    if (digits.empty() || digits.size() > 5
        || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    const int port = std::stoi(digits);
    return port <= 65535 ? port : 0;
}

bool read_services_file(const std::string& path, ServicesFile& out, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = "cannot read the services file " + path;
        return false;
    }
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parse_services(content, path, out, error);
}

bool parse_services(std::string_view content, const std::string& path, ServicesFile& out,
                    std::string& error)
{
    const json document = json::parse(content, nullptr, false);
    if (document.is_discarded() || !document.is_object() || !document.contains("services")
        || !document["services"].is_array()) {
        error = path + ": not a JSON object with a \"services\" array";
        return false;
    }
    std::array<bool, 6> seen{};
    for (const json& row : document["services"]) {
        if (!row.is_object() || !row.contains("number") || !row["number"].is_number_integer()) {
            error = path + ": every service needs an integer \"number\"";
            return false;
        }
        const int number = row["number"].get<int>();
        if (number < 1 || number > 6 || seen[static_cast<std::size_t>(number - 1)]) {
            error = path + ": service numbers must be 1 to 6, each once";
            return false;
        }
        seen[static_cast<std::size_t>(number - 1)] = true;
        ServiceEndpoint endpoint;
        endpoint.number = number;
        endpoint.host = text_member(row, "host");
        endpoint.target_code = text_member(row, "target_code");
        endpoint.failure_tag = text_member(row, "failure_tag");
        endpoint.caption = text_member(row, "caption");
        if (row.contains("tooltip_domains") && row["tooltip_domains"].is_array()) {
            for (const json& domain : row["tooltip_domains"]) {
                if (domain.is_string())
                    endpoint.tooltip_domains.push_back(domain.get<std::string>());
            }
        }
        const std::string which = path + ": service " + std::to_string(number);
        if (endpoint.host.empty() || endpoint.port() == 0
            || endpoint.host.find_first_of("/ \t\r\n") != std::string::npos) {
            error = which + " needs a \"host\" of the form host[:port]";
            return false;
        }
        if (!is_tag(endpoint.failure_tag)) {
            error = which + " needs a \"failure_tag\" of letters and underscores";
            return false;
        }
        if (endpoint.caption.empty()) {
            error = which + " needs a \"caption\"";
            return false;
        }
        const bool aggregator = number == 1 || number == 2 || number == 4;
        if (aggregator && endpoint.target_code.empty()) {
            error = which + " needs a \"target_code\"";
            return false;
        }
        if (number == 1 && endpoint.tooltip_domains.size() != 2) {
            error = which + " needs two \"tooltip_domains\"";
            return false;
        }
        out.services[static_cast<std::size_t>(number - 1)] = std::move(endpoint);
    }
    if (!std::all_of(seen.begin(), seen.end(), [](bool b) { return b; })) {
        error = path + ": all six services 1 to 6 must be listed";
        return false;
    }
    return true;
}

} // namespace quenmark::server
