#pragma once
// Controls of the native platform for tests: the in-memory registry and the virtual clock.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace platform::testing {

void ResetRegistry();
// While set, no key can be opened or created.
void SetRegistryUnavailable(bool unavailable);
// Stores a value of a type other than REG_DWORD / REG_SZ (binary data).
void WriteBinaryValue(const std::string& keyPath, const std::string& name, const std::string& data);
// Lets the user read the key but not write it: opening it for writing fails (the key is made
// when missing).
void DenyWriting(const std::string& keyPath);
bool KeyExists(const std::string& keyPath);
int ValueCount(const std::string& keyPath);

// Milliseconds since 1970-01-01 UTC on the virtual clock.
void SetClockMilliseconds(int64_t ms);
int64_t ClockMilliseconds();
void AdvanceClock(int64_t ms);

void SetProgramFolder(const std::string& folder);  // with trailing separator
// The file at this path cannot be deleted (as one in a folder the user may not write), until
// AllowRemovingAll.
void DenyRemoving(const std::string& path);
void AllowRemovingAll();

// The shell: where the special folders are, what was opened, the thousands separator.
void SetSpecialFolder(ShellFolder folder, FolderLookup lookup, const std::string& path = "");
const std::vector<std::string>& ShellOpened();
void SetThousandsSeparator(const std::string& text);
void ResetShell();

}  // namespace platform::testing
