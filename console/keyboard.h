#pragma once
// Keystrokes from the console's own keyboard, never from standard input.
// A key without a character arrives as two codes: a prefix (0 or 224), then
// a second code held for the next read_key().

// 1 when a key code is waiting, else 0. Never blocks, never consumes input.
int key_available();

// The next key code, 0 to 255, waiting for one if need be; -1 when no
// console input can be read.
int read_key();

// Sleeps until key_available() would report a key, then returns 1; returns
// 0 at once, or as soon as it is known, when no console input can ever be
// read (there is none, or it failed). Consumes nothing, and the interrupt
// keys keep their effect while it waits.
int wait_for_key();
