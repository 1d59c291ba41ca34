#include "console/json.h"

#include <cstdio>

namespace {

// The length of the UTF-8 sequence at the start of `text`, 0 when it is not
// one: a lead byte, its continuation bytes, no overlong form, no surrogate,
// nothing above U+10FFFF.
size_t utf8_length(std::string_view text)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    size_t length;
    unsigned low = 0x80, high = 0xbf; // the bounds of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xc2 && lead <= 0xdf)
        length = 2;
    else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    } else
        return 0;
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xbf)
            return 0;
    return length;
}

std::string number_list(const std::vector<int64_t>& numbers)
{
    std::string text = "[";
    for (size_t i = 0; i < numbers.size(); ++i)
        text += (i ? ", " : "") + std::to_string(numbers[i]);
    return text + "]";
}

const char* end_name(RunResult::End end)
{
    switch (end) {
    case RunResult::COMPLETED:
        return "completed";
    case RunResult::ESC:
        return "esc";
    case RunResult::CANDIDATE_LIMIT:
        return "candidate_limit";
    }
    return "unknown";
}

} // namespace

std::string json_string(std::string_view text)
{
    std::string out = "\"";
    while (!text.empty()) {
        const auto c = static_cast<unsigned char>(text[0]);
        const size_t length = utf8_length(text);
        if (length == 0) {
            out += "\\ufffd";
            text.remove_prefix(1);
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    return out + "\"";
}

std::string result_json(const RunResult& r)
{
    std::string threads = "[";
    for (size_t i = 0; i < r.per_thread.size(); ++i) {
        const RunResult::Thread& t = r.per_thread[i];
        threads += std::string(i ? ",\n" : "\n") + "    {\"elapsed_ms\": " +
                   (t.elapsed_ms < 0 ? "null" : std::to_string(t.elapsed_ms)) +
                   ", \"millionth_primes\": " + number_list(t.primes) + "}";
    }
    threads += "\n  ]";
    std::string rate = "null";
    if (r.threads > 0 && r.end == RunResult::COMPLETED) {
        char text[32];
        std::snprintf(text, sizeof text, "%u.%02u", static_cast<unsigned>(r.rate_hundredths / 100),
                      static_cast<unsigned>(r.rate_hundredths % 100));
        rate = text;
    }
    return "{\n"
           "  \"schema\": " + std::to_string(RESULT_SCHEMA) + ",\n"
           "  \"program\": {\"name\": \"primebench\", \"version\": " + json_string(r.version) + ", \"compiler\": " +
           json_string(r.compiler) + ", \"target\": " + json_string(r.target) + ", \"build_type\": " +
           json_string(r.build_type) + "},\n"
           "  \"cpu\": " + json_string(r.cpu) + ",\n"
           "  \"cpus\": " + std::to_string(r.cpus) + ",\n"
           "  \"host\": " + json_string(r.host) + ",\n"
           "  \"start_utc\": " + json_string(r.start_utc) + ",\n"
           "  \"mode\": \"" + (r.threads > 0 ? "rate" : "single") + "\",\n"
           "  \"threads\": " + std::to_string(r.threads > 0 ? r.threads : 1) + ",\n"
           "  \"ended\": \"" + end_name(r.end) + "\",\n"
           "  \"elapsed_ms\": " + std::to_string(r.elapsed_ms) + ",\n"
           "  \"runs_a_minute\": " + rate + ",\n"
           "  \"valid\": " + (r.valid ? "true" : "false") + ",\n"
           "  \"per_thread\": " + threads + "\n"
           "}";
}
