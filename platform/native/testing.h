#pragma once
// Controls of the native platform for tests: the in-memory registry, the virtual clock, the
// shell and the drives.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/drives.h"
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
void SetDecimalSeparator(const std::string& text);
void ResetShell();

// The drives: each letter stands for a POSIX folder ("C:\Games" is <folder>/Games) and is
// listed by Drives(); without its medium a drive is listed but nothing on it can be read.
void SetDrive(char letter, DriveType type, const std::string& posixFolder, bool hasMedium = true);
void SetDriveMedium(char letter, bool hasMedium);
// An existing folder that cannot be listed, as one without permission.
void DenyListing(const std::string& path);
void ResetDrives();

}  // namespace platform::testing
