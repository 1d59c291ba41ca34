#pragma once
// How the rate run's threads reach the console's thread, per platform. The
// console's thread sleeps until a key comes or a worker passes a checkpoint,
// and never spins.

// Readies the wake-up; before the threads that use it start.
void prepare_wake();

// From any thread, at any time: wakes the console's thread, or makes its
// next wait return at once. Never blocks.
void wake_console();

// On the console's thread: sleeps until key_available() would report a key
// (returns 1) or a wake_console() has come since the last return (0).
// Consumes no key; the interrupt keys keep their effect meanwhile.
int wait_for_key_or_wake();
