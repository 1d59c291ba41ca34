#pragma once
// Threads for the rate run, per platform. The system's own threads: on
// Windows the Win32 API's, which MinGW's runtime in every variant and Zig's
// have, with nothing to import beyond the system's DLLs.

// The most threads a run may have.
inline constexpr int MAX_THREADS = 1024;

// Starts `count` threads (at most MAX_THREADS), the i-th running
// work(context, i), with every asynchronous signal blocked in them, so that
// the handlers that put the terminal back run on the calling thread only.
// Returns how many started: fewer than `count` when the system refused one,
// and then thread_failure() says why.
int start_threads(int count, void (*work)(void* context, int index), void* context);

// Waits until every thread started has returned.
void join_threads();

// The system's reason for the last refusal.
const char* thread_failure();
