// The translator record "VOKRA.DAT": three 128-byte slots (name, web address, e-mail address),
// each a text in the dictionary code followed by zero bytes. Read at start-up, written by the
// translator identity dialog.
#pragma once

#include "AppState.h"

inline constexpr char kTranslatorRecordFile[] = "VOKRA.DAT";

// Reads the three slots of "VOKRA.DAT" (current directory) into the translator fields. Returns
// false, reading nothing, when the file does not exist.
bool ReadTranslatorRecord(AppState& state);

// Writes the three slots of `state` at offsets 0, 128 and 256 of "VOKRA.DAT" in the current
// directory, creating the file when it does not exist and never truncating a longer one.
void WriteTranslatorRecord(const AppState& state);
