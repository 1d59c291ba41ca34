#include "tests/scripted_console.h"

#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>

#include <gtest/gtest.h>

#include "console/clock.h"
#include "console/keyboard.h"
#include "console/output.h"
#include "console/wake.h"

namespace {
std::deque<scripted::Key> queue;
bool console_exists = true;
long poll_count = 0;
long read_count = 0;
std::string text;
long dots = 0;
uint32_t now_ms = 0;

std::mutex wake_mutex;
std::condition_variable woken;
unsigned long wakes = 0;
unsigned long wakes_taken = 0;
} // namespace

namespace scripted {

void reset(std::vector<Key> keys, bool console)
{
    queue.assign(keys.begin(), keys.end());
    console_exists = console;
    poll_count = read_count = dots = 0;
    text.clear();
    const std::lock_guard lock(wake_mutex);
    wakes = wakes_taken = 0;
}

long polls() { return poll_count; }
long reads() { return read_count; }
size_t keys_left() { return queue.size(); }
const std::string& output() { return text; }
void set_clock(uint32_t ms) { now_ms = ms; }

} // namespace scripted

int key_available()
{
    ++poll_count;
    return !queue.empty() && queue.front().from_poll <= poll_count && queue.front().after_dots <= dots ? 1 : 0;
}

int read_key()
{
    ++read_count;
    if (!console_exists)
        return -1;
    if (queue.empty()) {
        ADD_FAILURE() << "read_key() called with nothing scripted";
        return -1;
    }
    const int code = queue.front().code;
    queue.pop_front();
    return code;
}

int wait_for_key()
{
    while (!key_available() && console_exists) {
    }
    return console_exists ? 1 : 0;
}

void prepare_wake() {}

void wake_console()
{
    {
        const std::lock_guard lock(wake_mutex);
        ++wakes;
    }
    woken.notify_one();
}

int wait_for_key_or_wake()
{
    if (key_available())
        return 1;
    std::unique_lock lock(wake_mutex);
    woken.wait(lock, [] { return wakes != wakes_taken; });
    wakes_taken = wakes;
    return 0;
}

uint32_t clock_ms() { return now_ms; }
void pause_ms(uint32_t) {}

void message(const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    ASSERT_TRUE(n >= 0 && n < static_cast<int>(sizeof buffer));
    text.append(buffer, static_cast<size_t>(n));
    dots += std::strcmp(format, ".") == 0;
}
