#include "shorten/catalogue.h"

#include "config/services_config.h"

#include <array>

namespace quenmark::shorten {
namespace {

// Local-code-page texts (GB18030).
constexpr std::string_view failure_word = "\xD7\xAA\xBB\xBB\xCA\xA7\xB0\xDC";     // 转换失败
constexpr std::string_view lead = "\xD7\xAA\xBB\xBB\xCA\xA7\xB0\xDC #\xB1\xE0\xBA\xC5"; // 转换失败 #编号

constexpr std::string_view form_headers = "content-type: application/x-www-form-urlencoded; charset=UTF-8";
constexpr std::string_view html_headers = "content-type: text/html; charset=UTF-8";

} // namespace

ServiceSpec make_service_row(int number, std::string_view host, std::string_view target_code,
                              std::string_view failure_tag)
{
    ServiceSpec row;
    row.number = number;
    row.failure_tag = Text(failure_tag);
    row.failure_lead = Text(lead) + (number >= 4 ? " " : "");
    row.normalise_links = number != 4 && number != 5;
    const Text origin = "https://" + Text(host);
    const Text code(target_code);
    switch (number) {
    case 1:
        row.method = 1;
        row.url_prefix = origin + "/multi.php?m=index&a=urlCreate";
        row.body_prefix = "url=";
        row.body_suffix = "&type=" + code + "&random=9999999999999999999999&token=";
        row.headers = Text(form_headers);
        row.utf8_response = true;
        row.start_marker = "url\":\"";
        row.end_marker = "\",\"";
        row.strip_backslashes = true;
        break;
    case 2:
        row.method = 1;
        row.url_prefix = origin + "/url.php?";
        row.body_prefix = "url=";
        row.body_suffix = "&type=" + code;
        row.headers = Text(form_headers);
        row.utf8_response = true;
        row.start_marker = "data\":[\"";
        row.end_marker = "\"]}";
        row.failure_value = Text(failure_word);
        break;
    case 3:
    case 6:
        row.url_prefix = origin + "/api.php?url=";
        row.headers = Text(html_headers);
        row.start_marker = "code\":\"";
        row.end_marker = "\",\"msg";
        row.short_link_base = origin + "/";
        break;
    case 4:
        row.method = 1;
        row.url_prefix = origin + "/api.php";
        row.body_prefix = "type=toShort&kind=" + code + "&url=";
        row.headers = Text(form_headers);
        row.start_marker = "url\":\"";
        row.end_marker = "\",\"";
        row.strip_backslashes = true;
        break;
    case 5:
        row.method = 1;
        row.url_prefix = origin + "/create.php";
        row.body_prefix = "url=";
        row.body_suffix = "&shorturl=&opt=0";
        row.headers = "content-type: application/x-www-form-urlencoded";
        row.utf8_response = true;
        row.start_marker = "\"short_url\" value=\"";
        row.end_marker = "\" onclick=";
        break;
    default:
        break;
    }
    return row;
}

const Catalogue& built_in_catalogue()
{
    static const Catalogue rows = [] {
        Catalogue built;
        for (std::size_t i = 0; i < built.size(); ++i) {
            built[i] = make_service_row(static_cast<int>(i) + 1, config::service_host[i],
                                        config::service_target_code[i],
                                        config::service_failure_tag[i]);
        }
        return built;
    }();
    return rows;
}

} // namespace quenmark::shorten
